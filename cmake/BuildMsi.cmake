# Makes the Windows installer from packaging/talquist-manager.wxs: wixl builds the package,
# msibuild adds what wixl cannot say (the system PATH entry). Run as a script, by the target
# `msi` and by the installer test (which builds other versions of the same package):
#   cmake -DVERSION=3.0.6 -DOUTPUT=x.msi -DWXS=... -DTALQ_EXE=... -DREADME=... -DLICENCE=...
#         [-DMANAGER_EXE=... -DMANAGER_ICON=...] [-DSTRIP=...] -P BuildMsi.cmake
foreach(required VERSION OUTPUT WXS TALQ_EXE README LICENCE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "BuildMsi.cmake: ${required} is not set")
  endif()
endforeach()
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)

# wixl takes sources relative to the folder it runs in; it gets a staging folder of its own.
get_filename_component(output "${OUTPUT}" ABSOLUTE)
set(stage "${output}.stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
file(COPY_FILE "${TALQ_EXE}" "${stage}/talq.exe")
file(COPY_FILE "${README}" "${stage}/README.txt")
file(COPY_FILE "${LICENCE}" "${stage}/LICENCE.txt")
set(defines -D Version=${VERSION} -D TalqExe=talq.exe -D Readme=README.txt
            -D Licence=LICENCE.txt)
if(MANAGER_EXE)
  file(COPY_FILE "${MANAGER_EXE}" "${stage}/talq-manager.exe")
  file(COPY_FILE "${MANAGER_ICON}" "${stage}/talq-manager.ico")
  list(APPEND defines -D WithManager=yes -D ManagerExe=talq-manager.exe
                      -D ManagerIcon=talq-manager.ico)
else()
  list(APPEND defines -D WithManager=no)
endif()
if(STRIP)  # as the zip's programs are
  file(GLOB programs "${stage}/*.exe")
  execute_process(COMMAND "${STRIP}" ${programs} COMMAND_ERROR_IS_FATAL ANY)
endif()

file(REMOVE "${output}")
execute_process(COMMAND "${WIXL}" -a x64 ${defines} -o "${output}" "${WXS}"
                WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)

# The install folder at the end of the system PATH ('=' set at install, '-' taken out at
# uninstall, '*' the machine's variable; [~] keeps what was there), on talq.exe's component.
set(table "`Environment`")
execute_process(COMMAND "${MSIBUILD}" "${output}"
  -q "CREATE TABLE ${table} (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
  -q "INSERT INTO ${table} (`Environment`, `Name`, `Value`, `Component_`) VALUES ('SystemPath', '=-*PATH', '[~];[INSTALLDIR]', 'TalqExe')"
  -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
  -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
  WORKING_DIRECTORY "${stage}"  # it writes the package's streams out beside it for a while
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${stage}")
