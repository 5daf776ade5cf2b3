# Run by cpack on the staged package tree before it is packed: Debian wants
# manual pages and the change log compressed with gzip -9, without the time
# stamp, so that the same sources give the same package.
file(GLOB_RECURSE to_compress
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]
  ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/orvantis/changelog)
foreach(file IN LISTS to_compress)
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${file}")
  endif()
endforeach()
