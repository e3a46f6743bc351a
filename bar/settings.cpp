#include "bar/settings.h"

namespace settings {

int FirstLaunch()
{
    return 0;
}
bool saveFirstLaunch(int)
{
    return false;
}
int Lang()
{
    return 0;
}
bool saveLang(int)
{
    return false;
}
int ValTrans()
{
    return 255;
}
bool saveValTrans(int)
{
    return false;
}
int InfosToolTip()
{
    return 0;
}
bool saveInfosToolTip(int)
{
    return false;
}
void deleteAll() {}

} // namespace settings
