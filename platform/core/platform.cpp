// The platform library's version, kept so the library always has an object file of its own.
namespace platform {
const char *Version() { return "0.1"; }
} // namespace platform
