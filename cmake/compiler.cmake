# Replays must repeat bit for bit: no contraction of a*b+c into fma, no fast-math.
add_compile_options(-ffp-contract=off -fno-fast-math)
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
# Warnings are errors in the program's own code and its tools (target_compile_options with this).
# GCC warns at every atomic fence of its standard library under ThreadSanitizer, which does not
# follow fences: that one stays a warning.
set(QC4_WERROR -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12)
  list(APPEND QC4_WERROR -Wno-error=tsan)
endif()

# Every narrow string literal is stored as CP932 (Shift-JIS) bytes, the encoding the game's data
# and texts use at run time. Sources are UTF-8; u8"" literals stay UTF-8.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP932>)
  # <chrono> of C++20 holds a literal CP932 cannot encode; this folder stands in for it.
  include_directories(BEFORE "${CMAKE_SOURCE_DIR}/cmake/include")
  add_compile_definitions(QC4_EXEC_CHARSET_CP932=1)
endif()

if(QC4_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QC4_TSAN)
  if(QC4_SANITIZE)
    message(FATAL_ERROR "QC4_TSAN and QC4_SANITIZE cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
