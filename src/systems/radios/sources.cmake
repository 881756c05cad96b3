# Sources of systems/radios: radio tuning, audio, microphone selection, transponder and weather reports; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/radio_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mic_select.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transponder_code.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comm_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radio_audio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/metar.cpp
)
