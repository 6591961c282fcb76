# Fuzzing needs a compiler with libFuzzer (clang). When it has one, every
# library is instrumented for coverage and built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and TALQ_HAVE_LIBFUZZER is set.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] TALQ_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)

if(TALQ_HAVE_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
else()
  message(WARNING "TALQ_FUZZ: ${CMAKE_CXX_COMPILER_ID} has no -fsanitize=fuzzer; no fuzz targets")
endif()
