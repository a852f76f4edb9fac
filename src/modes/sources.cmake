list(APPEND QUARVEL_CORE_SOURCES
  modes/export_text.cpp
  modes/spectrum.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  modes/clipboard_export.cpp
  modes/spectrum_view.cpp
  modes/views.cpp
  modes/wiring.cpp
  modes/working_modes.cpp
)
