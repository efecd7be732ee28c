// The resident logo renderer of one batch of logos. Each call of the logo program starts an
// interpreter and loads the logo library, which costs several times the drawing itself; while a
// LogoRenderer lives, one renderer (weblogo-3.4/renderer.py under the tool root) keeps the library
// loaded and the wrapper hands it its command lines through a Unix socket, so the command lines, and
// the images, stay what they are without it.
#pragma once

#include <sys/types.h>

#include <string>

namespace korvelan {

// The environment variable that names the renderer's socket to the logo commands of the batch.
inline constexpr const char* kLogoSocketVariable = "KORVELAN_LOGO_SOCKET";
// Set to "off", no renderer is started (to measure the logo stage without it).
inline constexpr const char* kLogoRendererSwitch = "KORVELAN_LOGO_RENDERER";

// Starts the renderer (when wanted) in a private folder (mode 0700) and waits until it listens; a renderer
// that is missing, fails or is not listening in time is given up, and the batch's commands then draw on their
// own. The destructor stops the renderer and whatever it still runs, and removes the folder, also
// when the batch ends by an exception.
class LogoRenderer {
 public:
  explicit LogoRenderer(bool wanted = true);
  ~LogoRenderer();
  LogoRenderer(const LogoRenderer&) = delete;
  LogoRenderer& operator=(const LogoRenderer&) = delete;

  bool running() const { return pid_ > 0; }
  const std::string& socketPath() const { return socket_; }

 private:
  bool start();
  void stop();

  pid_t pid_ = -1;
  int lifeline_ = -1;  // the renderer's standard input: closing it tells the renderer to end
  std::string folder_;
  std::string socket_;
  bool hadVariable_ = false;
  std::string savedVariable_;
};

}  // namespace korvelan
