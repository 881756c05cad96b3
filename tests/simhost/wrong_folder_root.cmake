# A host folder with the plug-in installed where it does not belong (the
# host's own plugins folder, not the aircraft's): a copy of the sample root
# FROM at TO, the module MODULE in TO/Resources/plugins/corvane/64/.
file(REMOVE_RECURSE "${TO}")
file(COPY "${FROM}/" DESTINATION "${TO}")
file(COPY "${MODULE}" DESTINATION "${TO}/Resources/plugins/corvane/64")
