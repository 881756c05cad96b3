// The module target needs one source of its own; the plug-in's code comes
// whole from the static library, which exports the five entry points.
