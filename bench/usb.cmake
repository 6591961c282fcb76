# USB discovery benchmark: needs umockdev, and runs wrapped by umockdev-wrapper
# (`cmake --build . --target run_talq_bench_usb`).
find_program(UMOCKDEV_WRAPPER umockdev-wrapper)
if(UMOCKDEV_FOUND AND UMOCKDEV_WRAPPER)
  add_executable(talq_bench_usb ${CMAKE_CURRENT_LIST_DIR}/usb_discovery_bench.cpp)
  target_link_libraries(talq_bench_usb PRIVATE talq_link PkgConfig::UMOCKDEV)
  add_custom_target(run_talq_bench_usb
    COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:talq_bench_usb>
    DEPENDS talq_bench_usb
    USES_TERMINAL)
endif()
