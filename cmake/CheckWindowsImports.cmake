# Fails when a Windows program takes from the system a function that is not in the list of
# those checked present in the oldest Windows the builds run on (packaging/windows/imports.txt):
# every function of its import table, and every one it loads by name at run time, which shows
# as a string in the program that a system library exports (the libraries loaded only when first
# needed, the MinGW runtime's optional calls). Run by the build and by the test
# talq_win32_imports:
#   cmake -DLIST=imports.txt -DOBJDUMP=... -DNM=... -DLIBRARIES=/usr/<target>/lib
#         -DPROGRAMS="a.exe;b.exe" -P CheckWindowsImports.cmake
foreach(required LIST OBJDUMP NM LIBRARIES PROGRAMS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "CheckWindowsImports.cmake: ${required} is not set")
  endif()
endforeach()

# The list: "[LIBRARY.dll]" and its functions, one a line; "[run time]" and the functions
# loaded by name, each followed by its library and a note.
file(STRINGS "${LIST}" lines)
set(section "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(#|$)")
    continue()
  elseif(line MATCHES "^\\[(.+)\\]$")
    string(TOLOWER "${CMAKE_MATCH_1}" section)
  elseif(line MATCHES "^([A-Za-z0-9_@?]+)")
    set("checked:${section}:${CMAKE_MATCH_1}" TRUE)
  endif()
endforeach()

# What the system libraries export (their import libraries' symbols, decorations dropped).
set(system_libraries advapi32 cfgmgr32 comctl32 comdlg32 dwmapi gdi32 kernel32 ntdll ole32
    setupapi shcore shell32 shlwapi user32 uxtheme version winspool ws2_32)
foreach(library IN LISTS system_libraries)
  execute_process(COMMAND "${NM}" -P "${LIBRARIES}/lib${library}.a" OUTPUT_VARIABLE symbols
                  ERROR_QUIET)
  string(REGEX MATCHALL "__imp__?[A-Za-z][A-Za-z0-9_]*" symbols "${symbols}")
  foreach(symbol IN LISTS symbols)
    string(REGEX REPLACE "^__imp__?" "" symbol "${symbol}")
    set("exported_${symbol}" ${library})
  endforeach()
endforeach()

set(unchecked "")
foreach(program IN LISTS PROGRAMS)
  get_filename_component(name "${program}" NAME)
  execute_process(COMMAND "${OBJDUMP}" -p "${program}" OUTPUT_VARIABLE headers
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" headers "${headers}")
  set(library "")
  set(imported "")
  foreach(line IN LISTS headers)
    if(line MATCHES "DLL Name: (.+)$")
      string(TOLOWER "${CMAKE_MATCH_1}" library)
    elseif(library AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z0-9_@?]+)$")
      list(APPEND imported "${CMAKE_MATCH_1}")
      if(NOT DEFINED "checked:${library}:${CMAKE_MATCH_1}")
        list(APPEND unchecked "${name} imports ${library} ${CMAKE_MATCH_1}")
      endif()
    elseif(line MATCHES "^$")
      set(library "")
    endif()
  endforeach()
  # Names of system functions among the program's strings, other than its imports.
  file(STRINGS "${program}" words LENGTH_MINIMUM 6 REGEX "^[A-Za-z][A-Za-z0-9_]*[A-Z][A-Za-z0-9_]*$")
  list(REMOVE_DUPLICATES words)
  if(imported)
    list(REMOVE_ITEM words ${imported})
  endif()
  foreach(word IN LISTS words)
    if(DEFINED "exported_${word}" AND NOT DEFINED "checked:run time:${word}")
      list(APPEND unchecked "${name} may load ${exported_${word}} ${word} at run time")
    endif()
  endforeach()
endforeach()

if(unchecked)
  list(REMOVE_DUPLICATES unchecked)
  list(JOIN unchecked "\n  " unchecked)
  message(FATAL_ERROR "Functions not checked against the oldest Windows these programs run on:\n"
    "  ${unchecked}\n"
    "Look each up (its \"minimum supported client\"); when that Windows has it, add it to "
    "${LIST}. When it does not, the program must load it by name and do without it there.")
endif()
