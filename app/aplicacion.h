#pragma once
// Application-wide settings shared by the program, its widget tests and its
// benchmarks.

namespace app {

// Font substitution, the quit rule and names; call once after QApplication.
void PrepararAplicacion();

} // namespace app
