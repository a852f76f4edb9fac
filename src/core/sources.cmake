list(APPEND QUARVEL_CORE_SOURCES
  core/numbers.cpp
  core/typed_values.cpp
  core/shared_state.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  core/commands.cpp
  core/handlers.cpp
  core/main_window.cpp
  core/services.cpp
  core/startup.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  core/settings.cpp
  core/settings_wiring.cpp
)
