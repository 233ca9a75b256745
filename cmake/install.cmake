# What `cmake --install` puts where: programs and help side by side in bin
# (the program opens <executable>.qhc, the console looks for samples beside
# it), the shared modules in lib, found through a relative run path.
include(GNUInstallDirs)
set(ORDOVANE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

foreach(program ordovane ordovane-cli regsvr)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH ${ORDOVANE_INSTALL_RPATH})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

foreach(module ordovane-platform tallomir ordovane-jscript ordovane-vbscript)
  if(TARGET ${module})
    set_target_properties(${module} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${module} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endforeach()

if(TARGET help-file)
  install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ordovane.qhc
                ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ordovane.qch
          DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(SAMPLE_SCRIPTS)
  install(FILES ${SAMPLE_SCRIPTS} DESTINATION ${CMAKE_INSTALL_BINDIR}/samples)
endif()
