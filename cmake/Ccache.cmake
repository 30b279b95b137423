# ccache where the machine has it. Precompiled headers need the sloppiness below, or every
# compile that uses them misses the cache.
find_program(LORVAN_CCACHE ccache)
if(LORVAN_CCACHE)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${LORVAN_CCACHE})
endif()
