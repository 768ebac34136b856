// libqvplatform.so gathers the static components of the platform layer; this file gives the shared
// library a translation unit of its own and a version that programs can ask for.
namespace qvplatform {
extern "C" __attribute__((visibility("default"))) const char* QvPlatformVersion() { return "0.1"; }
}  // namespace qvplatform
