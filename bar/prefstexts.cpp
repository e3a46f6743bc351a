#include "bar/prefstexts.h"

namespace prefstexts {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString FrenchSuffix = QStringLiteral(" >> Prêt à être supprimé.");
const QString EnglishSuffix = QStringLiteral(" >> Loan has to be removed.");

Message pick(int lang, Message french, Message english)
{
    return lang == 0 ? std::move(french) : std::move(english);
}

QString fieldName(PrefsWorkingSet::Field field, int lang)
{
    switch (field) {
    case PrefsWorkingSet::Field::Title:
        return lang == 0 ? QStringLiteral("'Titre du bouton' .") : QStringLiteral("'Button title' .");
    case PrefsWorkingSet::Field::Program:
        return lang == 0 ? QStringLiteral("'Programme à lancer' .")
                         : QStringLiteral("'Program to launching' .");
    case PrefsWorkingSet::Field::Icon:
        return lang == 0 ? QStringLiteral("'Icône du bouton' .") : QStringLiteral("'Button icon' .");
    }
    return {};
}

} // namespace

QStringList windowStates(int lang)
{
    if (lang == 0)
        return {QStringLiteral("1 - Fenêtre normale"), QStringLiteral("2 - Fenêtre minimizée"),
                QStringLiteral("3 - Fenêtre maximizée")};
    if (lang == 1)
        return {QStringLiteral("1 - Normal windows"), QStringLiteral("2 - Minimized windows"),
                QStringLiteral("3 - Maximized windows")};
    return {};
}

QString listRow(int n, const QString& title)
{
    return QString::number(n) + QStringLiteral(" -- ") + title;
}

QString markedRow(int n, const QString& title, int lang)
{
    return listRow(n, title) + (lang == 0 ? FrenchSuffix : EnglishSuffix);
}

bool isMarkedRow(const QString& rowText, int n, const QString& title)
{
    const QString row = listRow(n, title);
    return rowText == row + FrenchSuffix || rowText == row + EnglishSuffix;
}

Message firstRun(int lang)
{
    return pick(lang,
                {QStringLiteral("Premier lancement de Dovi..."),
                 QStringLiteral("Vous devez créer au moins un bouton pour le bon lancement de Dovi !!")},
                {QStringLiteral("The first launching of Dovi..."),
                 QStringLiteral("You must create at least a button for the good launching of Dovi !!")});
}

Message iconFieldEmpty(int lang)
{
    return pick(lang,
                {QStringLiteral("Champ mal rempli..."),
                 QStringLiteral("Il faut que le champ contenant le chemin de l'icône soit rempli") + CrLf +
                     QStringLiteral("si vous avez décoché l'option qui extrait l'icône d'après le chemin de "
                                    "l'application.")},
                {QStringLiteral("Field badly filled..."),
                 QStringLiteral("It is necessary that the field containing the way of the icon is filled") +
                     CrLf +
                     QStringLiteral("if you stripped the option which extracts the icon according to the way "
                                    "from the application.")});
}

Message fieldsMissing(int lang)
{
    return pick(
        lang,
        {QStringLiteral("Informations manquantes"),
         QStringLiteral("Tous les champs doivent être remplis sauf celui contenant le chemin de l'icône") +
             CrLf + QStringLiteral("si vous avez activé l'option d'extraction des icônes des applications.")},
        {QStringLiteral("Missing informations"),
         QStringLiteral("All the fields must be filled except that containing the way of the icon if you") +
             CrLf + QStringLiteral("activated the option of extraction of the icons of the applications.")});
}

Message skinNotFound(int lang)
{
    return pick(
        lang,
        {QStringLiteral("Erreur: < fichier introuvable... >"),
         QStringLiteral("Veuillez vérifier les chemins des skins car l'un d'eux n'est pas correct !")},
        {QStringLiteral("Error:  < file not found... >"),
         QStringLiteral("Please check the ways of the skins because one of them is not correct !")});
}

Message buttonInCreation(int lang)
{
    return pick(lang,
                {QStringLiteral("Bouton en cours de création..."),
                 QStringLiteral("Vous avez un bouton en cours de création, voulez-vous le créer "
                                "définitivement ?")},
                {QStringLiteral("Button in creation mode..."),
                 QStringLiteral("You have a button in the creation mode, do you want to create it "
                                "definitively ?")});
}

Message buttonLacksData(int entry, PrefsWorkingSet::Field field, int lang)
{
    const QString number = QString::number(entry);
    const QString name = fieldName(field, lang);
    return pick(lang,
                {QStringLiteral("Erreur informations des boutons..."),
                 QStringLiteral("Il manque des informations sur certains boutons !") + CrLf +
                     QStringLiteral("Le bouton à rectifier à pour index : ") + number +
                     QStringLiteral(" dans la partie ") + name + CrLf +
                     QStringLiteral("Ces informations sont obligatoires, veuillez remplir les zones de "
                                    "saisies adéquates !")},
                {QStringLiteral("Information error of the buttons..."),
                 QStringLiteral("It misses information on certain buttons !") + CrLf +
                     QStringLiteral("The button to be rectified with for index :") + number +
                     QStringLiteral(" in the part ") + name + CrLf +
                     QStringLiteral("This information is obligatory, want to fill the zones of adequate "
                                    "seizures !")});
}

Message configNotWritten(const QString& reason, int lang)
{
    return pick(
        lang,
        {QStringLiteral("Erreur d'enregistrement..."),
         QStringLiteral("La configuration n'a pas pu être enregistrée, vos modifications sont "
                        "conservées :") +
             CrLf + reason},
        {QStringLiteral("Saving error..."),
         QStringLiteral("The configuration could not be saved, your changes are kept :") + CrLf + reason});
}

Message refusedPath(const QString& path, int lang)
{
    const bool lineBreak = path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'));
    const QString french =
        lineBreak ? QStringLiteral("son chemin contient un saut de ligne, qui couperait une ligne du fichier "
                                   "de configuration.")
                  : QStringLiteral("son chemin contient un \";\", qui sépare les champs du fichier de "
                                   "configuration.");
    const QString english =
        lineBreak ? QStringLiteral("its path holds a line break, which would cut a line of the configuration "
                                   "file apart.")
                  : QStringLiteral("its path holds a \";\", which separates the fields of the configuration "
                                   "file.");
    return pick(lang,
                {QStringLiteral("Erreur chemin..."),
                 QStringLiteral("Ce fichier ne peut pas servir pour un bouton : ") + french + CrLf + path},
                {QStringLiteral("Error way..."),
                 QStringLiteral("This file cannot be used for a button: ") + english + CrLf + path});
}

Message autostartNotWritten(const QString& reason, int lang)
{
    return pick(
        lang,
        {QStringLiteral("Lancement automatique de Dovi"),
         QStringLiteral("Vos préférences sont enregistrées, mais le lancement de Dovi avec la session "
                        "n'a pas pu être modifié :") +
             CrLf + reason},
        {QStringLiteral("Automatic launching of Dovi"),
         QStringLiteral("Your preferences are saved, but the start of Dovi with the session could "
                        "not be changed:") +
             CrLf + reason});
}

Message barNotReloaded(const QString& reason, int lang)
{
    return pick(
        lang,
        {QStringLiteral("Erreur de chargement..."),
         QStringLiteral("La configuration a été enregistrée mais Dovi n'a pas pu la recharger :") + CrLf +
             reason},
        {QStringLiteral("Loading error..."),
         QStringLiteral("The configuration was saved but Dovi could not load it again :") + CrLf + reason});
}

Chooser chooser(ChooserKind kind, int lang)
{
    const bool french = lang == 0;
    switch (kind) {
    case ChooserKind::ButtonDown:
        return french ? Chooser{QStringLiteral("Choisir un fichier -- [Etat Pressé du bouton]..."),
                                QStringLiteral("Bitmap Windows (*.bmp)|*.bmp|Images GIF (*.gif)|*.gif|Images "
                                               "JPeg (*.jpg)|*.jpg")}
                      : Chooser{QStringLiteral("Choose a file -- [Down Button state]..."),
                                QStringLiteral("Windows Bitmap (*.bmp)|*.bmp|GIF Images (*.gif)|*.gif|JPeg "
                                               "images (*.jpg)|*.jpg")};
    case ChooserKind::ButtonUp:
        return french ? Chooser{QStringLiteral("Choisir un fichier -- [Etat Non Pressé du bouton]..."),
                                QStringLiteral("Bitmap Windows (*.bmp)|*.bmp|Images GIF (*.gif)|*.gif|Images "
                                               "JPeg (*.jpg)|*.jpg")}
                      : Chooser{QStringLiteral("Choose a file -- [Up Button state]..."),
                                QStringLiteral("Windows Bitmap (*.bmp)|*.bmp|GIF Images (*.gif)|*.gif|JPeg "
                                               "Images (*.jpg)|*.jpg")};
    case ChooserKind::Program:
        return {french ? QStringLiteral("Choisir un programme...") : QStringLiteral("Choose a program..."),
                QStringLiteral("Application (*.exe)|*.exe")};
    case ChooserKind::Icon:
        return french ? Chooser{QStringLiteral("Chosir une icône pour le bouton..."),
                                QStringLiteral("Icône (*.ico)|*.ico")}
                      : Chooser{QStringLiteral("Choose an icon for the button..."),
                                QStringLiteral("Icon (*.ico)|*.ico")};
    case ChooserKind::Mask:
        return french ? Chooser{QStringLiteral("Choisir une image de masque pour les boutons..."),
                                QStringLiteral("Bitmaps Windows (*.bmp)|*.bmp")}
                      : Chooser{QStringLiteral("Choose an mask picture for your buttons..."),
                                QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp")};
    case ChooserKind::MaskColour:
        return {french ? QStringLiteral("Choisir une couleur de masque pour les boutons...")
                       : QStringLiteral("Choose an mask color for your buttons..."),
                QString()};
    }
    return {};
}

} // namespace prefstexts
