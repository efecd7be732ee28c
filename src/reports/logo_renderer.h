// The resident logo renderer of one batch of logos. Each call of the logo program starts an
// interpreter and loads the logo library, and its conversion to JPEG starts Ghostscript, which costs
// several times the drawing itself; while a LogoRenderer lives, one renderer (weblogo-3.4/renderer.py
// under the tool root) keeps the library loaded, and Ghostscript for each conversion command line, and
// the wrapper hands it its command lines through a Unix socket (by the compiled client when it is
// built), so the command lines, and the images, stay what they are without it.
#pragma once

#include <sys/types.h>

#include <array>
#include <optional>
#include <string>

namespace korvelan {

// The environment variables of a batch: the renderer's socket, named to the logo commands; the waits
// that logoWaits() gives, named to the renderer and the commands; and the compiled client, when it was
// built beside the running program (kLogoClientProgram), named to the commands' wrapper.
inline constexpr const char* kLogoSocketVariable = "KORVELAN_LOGO_SOCKET";
inline constexpr const char* kLogoWaitsVariable = "KORVELAN_LOGO_WAITS";
inline constexpr const char* kLogoClientVariable = "KORVELAN_LOGO_CLIENT";
inline constexpr const char* kLogoClientProgram = "korvelan-logo-client";
inline constexpr std::array<const char*, 3> kLogoBatchVariables = {kLogoSocketVariable, kLogoWaitsVariable,
                                                                   kLogoClientVariable};
// Set to "off", no renderer is started (to measure the logo stage without it); set to one of the two
// values below, the renderer draws without its Ghostscript layer, or the wrapper hands the renderer its
// command lines through logo_client.py although the compiled client is built.
inline constexpr const char* kLogoRendererSwitch = "KORVELAN_LOGO_RENDERER";
inline constexpr const char* kLogoRendererWithoutGhostscript = "no-ghostscript";
inline constexpr const char* kLogoRendererPythonClient = "python-client";

// "REPLY PAGE" in milliseconds for a logo time limit in seconds: a command with no reply from the
// renderer after REPLY runs the drawing itself, and the renderer stops that drawing then; a page its
// Ghostscript layer has not converted after PAGE is converted by the Ghostscript command. Shares of
// the limit, so that each fallback still ends inside it; empty without a limit (no renderer then).
std::string logoWaits(int limitSeconds);

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
  // The renderer's process group, which holds every process of the renderer (-1 when none runs).
  pid_t processGroup() const { return pid_; }
  const std::string& socketPath() const { return socket_; }

 private:
  bool start();
  void stop();

  pid_t pid_ = -1;
  int groupSlot_ = -1;  // the renderer's process group as the interrupt handler knows it
  int lifeline_ = -1;   // the renderer's standard input: closing it tells the renderer to end
  std::string folder_;
  std::string socket_;
  // The batch's variables' values before it, restored after it.
  std::array<std::optional<std::string>, kLogoBatchVariables.size()> savedVariables_;
};

}  // namespace korvelan
