# The Windows build's benchmark: talq.exe get under Wine against the simulated
# printer. `cmake --build build-windows --target talq-bench` runs it (it needs
# TALQ_HOST_BUILD_DIR for talq-printer-sim).
add_executable(talq-bench-wine-get ${PROJECT_SOURCE_DIR}/bench/wine_get_bench.cpp)
target_include_directories(talq-bench-wine-get PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(talq-bench-wine-get PRIVATE talq_cli talq_test_support)
set_target_properties(talq-bench-wine-get PROPERTIES EXCLUDE_FROM_ALL ON)
if(TALQ_HOST_BUILD_DIR)
  add_custom_target(talq-bench
    COMMAND ${PROJECT_SOURCE_DIR}/bench/wine_get_bench.sh ${TALQ_HOST_BUILD_DIR}/sim/talq-printer-sim
            $<TARGET_FILE:talq-bench-wine-get> $<TARGET_FILE:talq>
    DEPENDS talq-bench-wine-get talq
    USES_TERMINAL)
endif()

# Start-up of talq-manager.exe under Wine against the smallest Win32 dialog program, and its
# private memory at the first dialog: `cmake --build build-windows --target talq-manager-bench`.
if(TARGET talq-manager)
  add_executable(talq-bench-minimal-dialog WIN32 ${PROJECT_SOURCE_DIR}/bench/minimal_dialog.cpp)
  target_link_options(talq-bench-minimal-dialog PRIVATE -municode)
  add_executable(talq-bench-wine-start ${PROJECT_SOURCE_DIR}/bench/wine_start_bench.cpp)
  target_link_options(talq-bench-wine-start PRIVATE -municode)
  target_link_libraries(talq-bench-wine-start PRIVATE psapi)
  set_target_properties(talq-bench-minimal-dialog talq-bench-wine-start PROPERTIES
    EXCLUDE_FROM_ALL ON)
  add_custom_target(talq-manager-bench
    COMMAND ${CMAKE_COMMAND} -E env TALQ_WINE_GRAPHICS=null TALQ_WINE_ARCH=${TALQ_WINE_ARCH}
            ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:talq-bench-wine-start>
            $<TARGET_FILE:talq-manager> $<TARGET_FILE:talq-bench-minimal-dialog> 7
    DEPENDS talq-bench-wine-start talq-bench-minimal-dialog talq-manager
    USES_TERMINAL)
endif()
