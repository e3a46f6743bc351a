# Installs the build as `cmake --install build --prefix DIR` does from a shell, with a relative DIR,
# and checks that DIR is a complete program folder whose menu entry starts it wherever it is opened.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix relative/Dovi
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the install failed: ${result}")
endif()
set(folder "${WORK}/relative/Dovi")
foreach(name Dovi libDoviButton.so libVistelPerso.so libDoviPlatform.so dovi.png Dovi.desktop
             XP_Up.bmp XP_Down.bmp XP_Mask.bmp XP_Blue_Up.bmp XP_Blue_Down.bmp XP_Blue_Mask.bmp
             "Licence fr.txt" "Licence eng.txt" "Informations fr.txt" "Informations eng.txt")
  if(NOT EXISTS "${folder}/${name}")
    message(FATAL_ERROR "the program folder lacks ${name}")
  endif()
endforeach()
file(READ "${folder}/Dovi.desktop" entry)
foreach(line "Exec=\"${folder}/Dovi\"" "Icon=${folder}/dovi.png")
  string(FIND "${entry}" "${line}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "the menu entry lacks ${line}:\n${entry}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
