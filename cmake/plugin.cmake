# The plug-in binary: OrvelZelmar.so on Linux, OrvelZelmar.dll on Windows. Only VSTPluginMain and
# main are exported; other plug-ins in the same host process may define classes of the same names.
# host/plugin_instance.cpp composes the effect with its editor; nothing else links both.
add_library(OrvelZelmar SHARED ${PROJECT_SOURCE_DIR}/host/entry.cpp ${PROJECT_SOURCE_DIR}/host/plugin_instance.cpp)
set_target_properties(OrvelZelmar PROPERTIES PREFIX "" OUTPUT_NAME OrvelZelmar
  LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
target_include_directories(OrvelZelmar PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(OrvelZelmar PRIVATE orvel_vst_editor orvel_plugin orvel_editor orvel_preset_strip orvel_engine orvel_presets orvel_gui orvel_window
  orvel_host orvel_platform orvel_resources)
if(WIN32)
  orvel_use_window_backend(OrvelZelmar win32)
  target_sources(OrvelZelmar PRIVATE ${PROJECT_SOURCE_DIR}/host/OrvelZelmar.def)
else()
  orvel_use_window_backend(OrvelZelmar x11)
  # "main" is the same function as VSTPluginMain, for older Linux hosts that look for that name.
  target_link_options(OrvelZelmar PRIVATE -Wl,--defsym=main=VSTPluginMain
    -Wl,--version-script=${PROJECT_SOURCE_DIR}/host/exports.map -Wl,-Bsymbolic -Wl,--no-undefined)
  set_property(TARGET OrvelZelmar APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/host/exports.map)
endif()
