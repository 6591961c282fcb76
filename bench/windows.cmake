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
