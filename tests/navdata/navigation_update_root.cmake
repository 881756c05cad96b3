# A host folder whose navigation data update left empty files in Custom Data:
# a copy of the sample root FROM at TO, with KIND
#   both-empty  both files of the update empty (nothing in them at all);
#   fix-empty   the update's navaid file holding one VOR of its own beside
#               the runway, its fix file only the header and end lines.
file(REMOVE_RECURSE "${TO}")
file(COPY "${FROM}/" DESTINATION "${TO}")
set(header "I\n1100 Navigation data update, cut short.\n\n")
if(KIND STREQUAL "both-empty")
  file(WRITE "${TO}/Custom Data/earth_nav.dat" "")
  file(WRITE "${TO}/Custom Data/earth_fix.dat" "")
elseif(KIND STREQUAL "fix-empty")
  file(WRITE "${TO}/Custom Data/earth_nav.dat"
    "${header}3  47.46000000 -122.31000000 400 11500 130 19.0 UPD ENRT K1 UPDATE VOR\n99\n")
  file(WRITE "${TO}/Custom Data/earth_fix.dat" "${header}99\n")
else()
  message(FATAL_ERROR "navigation_update_root.cmake: unknown KIND ${KIND}")
endif()
