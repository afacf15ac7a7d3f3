// Keeps the desktop program's library non-empty until its first window lands.
namespace fabulor_app {
int LibraryVersion() { return 1; }
}  // namespace fabulor_app
