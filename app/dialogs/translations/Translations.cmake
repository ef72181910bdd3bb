# The interface languages. Each .ts file is compiled into the bundle's
# Resources as <code>.qm, where AppEnv::initLanguages() looks for it.
find_package(Qt5LinguistTools REQUIRED)

set(KS_LANGUAGES cn es de jp fr it pt en)
set(KS_TS_FILES "")
foreach(lang ${KS_LANGUAGES})
  list(APPEND KS_TS_FILES ${CMAKE_CURRENT_SOURCE_DIR}/translations/${lang}.ts)
endforeach()
set_source_files_properties(${KS_TS_FILES} PROPERTIES OUTPUT_LOCATION ${KS_BUNDLE_RESOURCES})
qt5_add_translation(KS_QM_FILES ${KS_TS_FILES})
add_custom_target(dialogs_translations ALL DEPENDS ${KS_QM_FILES})

# `cmake --build build --target lupdate` brings the .ts files in step with the
# code. Obsolete entries are kept on purpose; pending_texts.h names the texts of
# windows that do not carry them in code yet.
add_custom_target(lupdate
  COMMAND Qt5::lupdate -locations relative -extensions cpp,h,ui
          ${CMAKE_SOURCE_DIR}/app -ts ${KS_TS_FILES}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Updating the translation sources"
  VERBATIM)
