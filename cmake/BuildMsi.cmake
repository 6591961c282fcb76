# Makes the Windows installer from packaging/talquist-manager.wxs: wixl builds the package,
# msibuild adds what wixl cannot say (the system PATH entry, the upgrade of the same version).
# Run as a script, by the target `msi` and by the installer test (which builds other versions
# of the same package):
#   cmake -DVERSION=3.0.6 -DARCH=x64|x86 -DOUTPUT=x.msi -DWXS=... -DTALQ_EXE=... -DGUIDE=...
#         -DLICENCE=... [-DMANAGER_EXE=... -DMANAGER_ICON=...] [-DSTRIP=...] -P BuildMsi.cmake
foreach(required VERSION ARCH OUTPUT WXS TALQ_EXE GUIDE LICENCE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "BuildMsi.cmake: ${required} is not set")
  endif()
endforeach()
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)
find_program(MSIINFO msiinfo REQUIRED)

# wixl takes sources relative to the folder it runs in; it gets a staging folder of its own.
get_filename_component(output "${OUTPUT}" ABSOLUTE)
set(stage "${output}.stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
file(COPY_FILE "${TALQ_EXE}" "${stage}/talq.exe")
file(COPY_FILE "${GUIDE}" "${stage}/README.txt")
file(COPY_FILE "${LICENCE}" "${stage}/LICENCE.txt")
set(defines -D Version=${VERSION} -D Arch=${ARCH} -D TalqExe=talq.exe -D Guide=README.txt
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
execute_process(COMMAND "${WIXL}" -a ${ARCH} ${defines} -o "${output}" "${WXS}"
                WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)

# MajorUpgrade finds installed versions below this one; a rebuild of the same version (a new
# ProductCode) would install beside it. The row gets msidbUpgradeAttributesVersionMaxInclusive
# (0x200) beside MigrateFeatures (0x1): the same version is replaced in place too. The row's
# columns make its key, so it is deleted and inserted again.
execute_process(COMMAND "${MSIINFO}" export "${output}" Upgrade OUTPUT_VARIABLE upgrade_table
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "\n({[-0-9A-F]+})\t\t([^\t]+)\t\t1\t\tWIX_UPGRADE_DETECTED" row "${upgrade_table}")
if(NOT row)
  message(FATAL_ERROR "BuildMsi.cmake: no upgrade row in ${output}:\n${upgrade_table}")
endif()
set(upgrade_code "${CMAKE_MATCH_1}")
set(upgrade_max "${CMAKE_MATCH_2}")

# The install folder on the system PATH ('=' set at install, '-' taken out at uninstall, '*'
# the machine's variable), on talq.exe's component. It goes first ("value;[~]"): taken out, it
# goes with the separator that follows it, and PATH is again exactly what it was. An entry at
# the end ("[~];value") leaves its separator behind at every uninstall, and the empty entries
# that pile up end the search of a command by name.
# wixl writes HKMU as 4, a root the Registry table does not have; the table's HKMU is -1 (HKLM
# in a per-machine installation, HKCU in a per-user one).
set(table "`Environment`")
execute_process(COMMAND "${MSIBUILD}" "${output}"
  -q "UPDATE `Registry` SET `Root` = -1 WHERE `Root` = 4"
  -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
  -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${upgrade_code}', '${upgrade_max}', 513, 'WIX_UPGRADE_DETECTED')"
  -q "CREATE TABLE ${table} (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
  -q "INSERT INTO ${table} (`Environment`, `Name`, `Value`, `Component_`) VALUES ('SystemPath', '=-*PATH', '[INSTALLDIR];[~]', 'TalqExe')"
  -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
  -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
  WORKING_DIRECTORY "${stage}"  # it writes the package's streams out beside it for a while
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${stage}")
