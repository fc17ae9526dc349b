# Installs the build at BINARY_DIR into a scratch prefix and checks that
# every program has its executable and its manual page, and that the case
# study with its reference data and samples is installed beside them.
set(prefix ${BINARY_DIR}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
file(GLOB tool_dirs LIST_DIRECTORIES true ${SOURCE_DIR}/tools/*)
set(programs hipaa-audit)
foreach(dir IN LISTS tool_dirs)
  if(EXISTS ${dir}/main.cpp)
    get_filename_component(tool ${dir} NAME)
    list(APPEND programs ${tool})
  endif()
endforeach()
set(expected share/hipaa-audit/hipaa-case-study/hipaa.d
             share/hipaa-audit/hipaa-case-study/hipaa.f
             share/hipaa-audit/hipaa-case-study/reference/attr_in_db.csv
             share/hipaa-audit/hipaa-case-study/samples/disclose.csv)
foreach(program IN LISTS programs)
  list(APPEND expected bin/${program} share/man/man1/${program}.1)
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${prefix}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(REMOVE_RECURSE ${prefix})
