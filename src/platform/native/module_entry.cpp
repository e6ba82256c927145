// The native plug-in module's counterpart of the Windows DllMain: a shared object
// needs no entry point, and everything else of the module comes from the core.
namespace {
[[maybe_unused]] const char kModuleName[] = "kveltar";
}  // namespace
