option(TEVRIN_BUILD_TESTS "Build the GoogleTest suites" ON)
option(TEVRIN_BUILD_BENCHMARKS "Build the Google Benchmark programs" ON)
option(TEVRIN_WERROR "Treat warnings as errors" OFF)
set(TEVRIN_SANITIZE "" CACHE STRING "Sanitizers to build with: '', 'address,undefined' or 'thread'")

add_compile_options(-Wall -Wextra)
if(TEVRIN_WERROR)
  add_compile_options(-Werror)
endif()

if(TEVRIN_SANITIZE)
  add_compile_options(-fsanitize=${TEVRIN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TEVRIN_SANITIZE})
endif()
