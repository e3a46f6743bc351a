# Writes a menu entry for the program at exec_path (run at install time).
function(dovi_write_desktop_entry file exec_path icon_path)
  string(REPLACE "\\" "\\\\" quoted "${exec_path}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(DOVI_DESKTOP_EXEC "\"${quoted}\"")
  # The icon is a plain string value: only \ is escaped there.
  string(REPLACE "\\" "\\\\" DOVI_DESKTOP_ICON "${icon_path}")
  configure_file("${DOVI_DESKTOP_TEMPLATE}" "${file}" @ONLY)
  message(STATUS "Installing: ${file}")
endfunction()
