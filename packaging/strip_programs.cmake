# Run by CPack after the install into its staging folder and before packing: strips every
# program in usr/bin of its symbols and of the sections a package does not need (.comment, the
# compilers' identification, and .note), as Debian's dh_strip does. The build id note stays.
file(GLOB_RECURSE programs LIST_DIRECTORIES false ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*)
if(NOT programs)
  message(FATAL_ERROR "no programs to strip under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND ${CPACK_ZERB_STRIP} --remove-section=.comment --remove-section=.note
                          ${program} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
