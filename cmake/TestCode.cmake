# The suites' own code need not be built as the programs are: at -O1 without debug information
# it compiles in about half the time. A Debug build (the sanitized one among them) keeps its own.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  add_compile_options(-O1 -g0)
endif()
