// The compiled-in resources need a library to hang on; this file gives it one.
namespace lorvan_resources_anchor { int anchor = 0; }
