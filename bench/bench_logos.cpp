// `korvelan-bench --logos N [--threads T] [--repeat R] [--modes LIST] [--no-renderer] [--samples K]
// [--jaspar FILE] [--wrapper PROGRAM] [--keep]`: draws both logos of N motifs through the real logo
// wrapper on T threads in each mode of LIST (default off,no-ghostscript,python-client,on: the plain
// commands; the resident renderer without its Ghostscript layer; the whole renderer reached through
// logo_client.py; the whole renderer reached through the compiled client), and prints one line of
// key=value fields for each, a renderer mode's with its speed-up and the images that differ from the
// plain ones. --no-renderer is --modes off.
//
// Then, for each mode, where one drawing's time goes, from K (default 20) drawings of the first motif
// one after another: the client's start (the wrapper and its client, with the request and the reply:
// measured against a stand-in renderer that answers at once), the drawing (the same command drawing
// PostScript, less the start) and the conversion to JPEG (the JPEG command less the PostScript one).
// The plain command's start and drawing come as one figure: the library's start is nearly all of it.
// Wall times are medians, the three kinds of command taken in turns; CPU seconds are the commands'
// own and those of every process of the renderer's process group, read from /proc once its drawings
// are reaped (from K runs of each kind in a row).
//
// The motifs are the first N of the JASPAR collection in the shared data folder (or the file given),
// or random motifs when it is absent. The logos go into a scratch tool root that is removed afterwards
// unless --keep is given.
#include <omp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench.h"
#include "core/consensus.h"
#include "core/globals.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "reports/logo_renderer.h"
#include "reports/logos.h"

namespace korvelan::bench {

namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(__FILE__).parent_path().parent_path();

// Rows of one position each, scaled to sum 1 (a position without counts becomes uniform).
motifMatrix normalized(const std::vector<std::vector<double>>& columnsByBase) {
  motifMatrix matrix;
  const std::size_t length = columnsByBase[0].size();
  for (std::size_t pos = 0; pos < length; ++pos) {
    std::vector<double> row(4, 0.25);
    double sum = 0;
    for (int base = 0; base < 4; ++base)
      sum += pos < columnsByBase[base].size() ? columnsByBase[base][pos] : 0;
    if (sum > 0)
      for (int base = 0; base < 4; ++base)
        row[base] = (pos < columnsByBase[base].size() ? columnsByBase[base][pos] : 0) / sum;
    matrix.push_back(row);
  }
  return matrix;
}

// The first `count` motifs of a JASPAR count file: a ">" line, then the A, C, G and T lines.
std::vector<motifMatrix> readJaspar(const std::string& path, long count) {
  std::vector<motifMatrix> motifs;
  std::ifstream in(path);
  std::string line;
  std::vector<std::vector<double>> bases;
  auto finish = [&] {
    if (bases.size() == 4 && !bases[0].empty()) motifs.push_back(normalized(bases));
    bases.clear();
  };
  while (static_cast<long>(motifs.size()) < count && std::getline(in, line)) {
    if (!line.empty() && line[0] == '>') {
      finish();
      continue;
    }
    if (line.empty() || std::string("ACGT").find(line[0]) == std::string::npos) continue;
    for (char& ch : line)
      if (ch == '[' || ch == ']' || ch == '\t' || (ch >= 'A' && ch <= 'Z')) ch = ' ';
    std::istringstream values(line);
    std::vector<double> row;
    for (double v; values >> v;) row.push_back(v);
    bases.push_back(row);
  }
  if (static_cast<long>(motifs.size()) < count) finish();
  return motifs;
}

std::vector<motifMatrix> randomMotifs(long count) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> length(6, 20);
  std::uniform_real_distribution<double> value(0.0, 1.0);
  std::vector<motifMatrix> motifs;
  for (long i = 0; i < count; ++i) {
    std::vector<std::vector<double>> bases(4);
    const int n = length(random);
    for (auto& base : bases)
      for (int pos = 0; pos < n; ++pos) base.push_back(std::pow(value(random), 4.0));
    motifs.push_back(normalized(bases));
  }
  return motifs;
}

struct LogoPass {
  double seconds = 0;
  double childSeconds = 0;
  long images = 0;
  long empty = 0;
  std::map<std::string, std::string> files;  // image name -> bytes
};

double childCpuSeconds() {
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  return static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
         static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e6;
}

// A mode's name and the renderer switch's value for it ("" leaves the switch unset).
struct Mode {
  std::string name;
  std::string switchValue;
};
const std::vector<Mode> kModes{{"off", "off"},
                               {"no-ghostscript", kLogoRendererWithoutGhostscript},
                               {"python-client", kLogoRendererPythonClient},
                               {"on", ""}};

void setSwitch(const Mode& mode) {
  if (mode.switchValue.empty())
    unsetenv(kLogoRendererSwitch);
  else
    setenv(kLogoRendererSwitch, mode.switchValue.c_str(), 1);
}

// One drawing of every motif's logos into a fresh logo folder, in the given mode.
LogoPass drawPass(const Mode& mode) {
  const std::string folder = outputPath + jobID + "image";
  fs::remove_all(folder);
  setSwitch(mode);
  LogoPass pass;
  const double cpuBefore = childCpuSeconds();
  const double begin = omp_get_wtime();
  writeMotif();
  pass.seconds = omp_get_wtime() - begin;
  // CPU time of the logo program runs: with other load on the machine, the wall time alone misleads.
  pass.childSeconds = childCpuSeconds() - cpuBefore;
  unsetenv(kLogoRendererSwitch);
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".jpeg") continue;
    ++pass.images;
    if (entry.file_size() == 0) ++pass.empty;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    pass.files[entry.path().filename().string()] = bytes.str();
  }
  return pass;
}

// The processes of a process group, each with its CPU seconds and those of the children it reaped.
std::map<pid_t, double> groupMembers(pid_t group) {
  std::map<pid_t, double> members;
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "stat");
    std::string stat;
    if (!std::getline(in, stat) || stat.rfind(')') == std::string::npos) continue;
    // After the name: state, parent, group, ..., then the 14th to 17th fields: the four times.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> values;
    for (std::string value; values.size() < 15 && fields >> value;) values.push_back(value);
    if (values.size() < 15 || std::stol(values[2]) != group) continue;
    double ticks = 0;
    for (int i = 11; i < 15; ++i) ticks += std::stod(values[static_cast<std::size_t>(i)]);
    members[std::stoi(name)] = ticks / tick;
  }
  return members;
}

// The group's CPU seconds once it holds no process beyond `resident` (its drawings and pages reaped,
// which the renderer and the converters do within a second), or after 5 s.
double settledGroupCpu(pid_t group, const std::set<pid_t>& resident) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    const std::map<pid_t, double> members = groupMembers(group);
    bool settled = true;
    for (const auto& [pid, seconds] : members) settled = settled && resident.count(pid) > 0;
    if (settled || std::chrono::steady_clock::now() > deadline) {
      double total = 0;
      for (const auto& [pid, seconds] : members) total += seconds;
      return total;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// A stand-in renderer that answers every request at once with an empty image and status 0.
class InstantRenderer {
 public:
  explicit InstantRenderer(const std::string& path) {
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 16);
    thread_ = std::thread([this] {
      // Three fields of no bytes but the status "0".
      std::string reply(8, '\0');
      reply.back() = 1;
      reply += '0';
      reply += std::string(16, '\0');
      for (int conn; (conn = accept(listener_, nullptr, nullptr)) >= 0; close(conn)) {
        char buffer[1 << 16];
        while (read(conn, buffer, sizeof buffer) > 0) {
        }
        send(conn, reply.data(), reply.size(), MSG_NOSIGNAL);
      }
    });
  }
  ~InstantRenderer() {
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }

 private:
  int listener_ = -1;
  std::thread thread_;
};

struct Phases {
  bool startApart = false;  // false: the plain command's start holds its drawing
  double startSeconds = 0, startCpu = 0;
  double drawingSeconds = 0, drawingCpu = 0;
  double conversionSeconds = 0, conversionCpu = 0;
};

// The renderer group's CPU seconds per run of `command`, `samples` runs in a row.
double groupCpuPerRun(const std::string& command, int samples, pid_t group, const std::set<pid_t>& resident) {
  const double before = settledGroupCpu(group, resident);
  for (int i = 0; i < samples; ++i) runShell(command, logoTimeLimit);
  return (settledGroupCpu(group, resident) - before) / samples;
}

// Each run's median wall seconds and mean CPU seconds of its own processes, the runs taken in turns
// (one of each, then the next turn), so that a busy moment of the machine falls on all alike.
struct Timed {
  double seconds = 0, cpu = 0;
};
std::vector<Timed> inTurns(const std::vector<std::function<void()>>& runs, int samples) {
  std::vector<std::vector<double>> walls(runs.size());
  std::vector<Timed> timed(runs.size());
  for (int i = 0; i < samples; ++i)
    for (std::size_t k = 0; k < runs.size(); ++k) {
      const double cpu = childCpuSeconds();
      const double begin = omp_get_wtime();
      runs[k]();
      walls[k].push_back(omp_get_wtime() - begin);
      timed[k].cpu += (childCpuSeconds() - cpu) / samples;
    }
  for (std::size_t k = 0; k < runs.size(); ++k) {
    std::sort(walls[k].begin(), walls[k].end());
    timed[k].seconds = walls[k][walls[k].size() / 2];
  }
  return timed;
}

// Where one drawing's time goes in a mode (see the top of this file).
Phases breakdown(const Mode& mode, const motifMatrix& matrix, const std::string& root, int samples) {
  const std::string input = root + "breakdown.txt";
  {
    std::ofstream file(input);
    file << "PO A C G T \n";
    for (std::size_t row = 0; row < matrix.size(); ++row) {
      file << row + 1 << ' ';
      for (double value : matrix[row]) file << value << ' ';
      file << '\n';
    }
  }
  const std::string jpeg = logoCommand(input, root + "breakdown.jpeg", false);
  std::string eps = jpeg;
  eps.replace(eps.find("--format jpeg"), 13, "--format eps");
  Phases phases;
  setSwitch(mode);
  {
    const LogoRenderer renderer;
    const pid_t group = renderer.processGroup();
    // Once before: the library is loaded and the converter of this command line started (and kept
    // busy enough from here on not to end for want of pages).
    runShell(eps, logoTimeLimit);
    runShell(jpeg, logoTimeLimit);
    std::vector<std::function<void()>> runs{[&] { runShell(jpeg, logoTimeLimit); },
                                            [&] { runShell(eps, logoTimeLimit); }};
    const std::string instantSocket = root + "instant-renderer";
    std::optional<InstantRenderer> instant;
    if (group > 0) {
      instant.emplace(instantSocket);
      runs.push_back([&] {
        setenv(kLogoSocketVariable, instantSocket.c_str(), 1);
        runShell(jpeg, logoTimeLimit);
        setenv(kLogoSocketVariable, renderer.socketPath().c_str(), 1);
      });
    }
    const std::vector<Timed> timed = inTurns(runs, samples);
    const Timed& images = timed[0];
    const Timed& drawings = timed[1];
    if (group > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1200));
      std::set<pid_t> resident;
      for (const auto& [pid, seconds] : groupMembers(group)) resident.insert(pid);
      const double imageGroupCpu = groupCpuPerRun(jpeg, samples, group, resident);
      const double drawingGroupCpu = groupCpuPerRun(eps, samples, group, resident);
      phases.startApart = true;
      phases.startSeconds = timed[2].seconds;
      phases.startCpu = images.cpu;  // the same client's work, answered by the renderer
      phases.drawingSeconds = drawings.seconds - timed[2].seconds;
      phases.drawingCpu = drawingGroupCpu + drawings.cpu - images.cpu;
      phases.conversionCpu = imageGroupCpu - drawingGroupCpu;
    } else {
      // The library's start is most of the plain command, its drawing a few milliseconds of it.
      phases.startSeconds = drawings.seconds;
      phases.startCpu = drawings.cpu;
    }
    phases.conversionSeconds = images.seconds - drawings.seconds;
    phases.conversionCpu += images.cpu - drawings.cpu;
  }
  fs::remove(root + "instant-renderer");
  unsetenv(kLogoRendererSwitch);
  return phases;
}

}  // namespace

int runLogoBenchmark(int argc, char** argv) {
  long count = 100;
  int threads = 1;
  int repeat = 1;
  int samples = 20;
  bool keep = false;
  std::string modeList = "off,no-ghostscript,python-client,on";
  std::string jaspar = (kSourceRoot / "../shared/data/databases/jaspar/jaspar_pfm_all.txt").string();
  // The wrapper of the source tree; a build folder inside the tree finds it beside itself too.
  std::string wrapper = (kSourceRoot / "run/weblogo-3.4/weblogo").string();
  std::error_code noExe;
  const fs::path exe = fs::read_symlink("/proc/self/exe", noExe);
  if (!fs::exists(wrapper) && !noExe)
    wrapper = (exe.parent_path().parent_path() / "run/weblogo-3.4/weblogo").string();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--logos" && hasValue)
      count = std::atol(argv[++i]);
    else if (arg == "--threads" && hasValue)
      threads = std::atoi(argv[++i]);
    else if (arg == "--repeat" && hasValue)
      repeat = std::atoi(argv[++i]);
    else if (arg == "--jaspar" && hasValue)
      jaspar = argv[++i];
    else if (arg == "--wrapper" && hasValue)
      wrapper = argv[++i];
    else if (arg == "--samples" && hasValue)
      samples = std::atoi(argv[++i]);
    else if (arg == "--modes" && hasValue)
      modeList = argv[++i];
    else if (arg == "--no-renderer")
      modeList = "off";
    else if (arg == "--keep")
      keep = true;
  }
  // The modes asked for, the plain commands always first: the others are compared with them.
  std::vector<Mode> modes{kModes.front()};
  bool knownModes = true;
  for (std::string rest = modeList + ","; !rest.empty(); rest.erase(0, rest.find(',') + 1)) {
    const std::string name = rest.substr(0, rest.find(','));
    bool known = false;
    for (const Mode& mode : kModes) {
      if (mode.name != name) continue;
      known = true;
      if (name != "off") modes.push_back(mode);
    }
    knownModes = knownModes && known;
  }
  if (count < 1 || threads < 1 || repeat < 1 || samples < 1 || !knownModes) {
    std::cerr << "usage: korvelan-bench --logos N [--threads T] [--repeat R] [--modes LIST] [--no-renderer]\n"
                 "                      [--samples K] [--jaspar FILE] [--wrapper PROGRAM] [--keep]\n"
                 "       LIST: a comma-separated choice of off, no-ghostscript, python-client, on\n";
    return 2;
  }
  if (!fs::exists(wrapper)) {
    std::cerr << "logo wrapper not found: " << wrapper << "\n";
    return 2;
  }

  std::string source = "jaspar";
  std::vector<motifMatrix> matrices;
  if (fs::exists(jaspar)) matrices = readJaspar(jaspar, count);
  if (static_cast<long>(matrices.size()) < count) {
    source = "random";
    matrices = randomMotifs(count);
  }

  std::string pattern = (fs::temp_directory_path() / "korvelan-bench-logos-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "cannot make a scratch folder\n";
    return 2;
  }
  const std::string root = pattern + "/";
  fs::create_directories(root + "result");
  fs::create_directories(root + "weblogo-3.4");
  // The wrapper under its program name, and the files beside it (the renderer and its client).
  const fs::path wrapperFolder = fs::absolute(wrapper).parent_path();
  for (const auto& entry : fs::directory_iterator(wrapperFolder))
    if (entry.path().filename() != fs::path(wrapper).filename())
      fs::create_symlink(entry.path(), root + "weblogo-3.4/" + entry.path().filename().string());
  fs::create_symlink(fs::absolute(wrapper), root + "weblogo-3.4/weblogo");

  resetGlobals();
  inputPath = root + "motifs/";
  outputPath = root + "result/";
  jobID = "J_bench_";
  outputFileFormat = "HTML";
  Datasets.clear();
  for (std::size_t i = 0; i < matrices.size(); ++i) {
    data motif;
    motif.motifID = static_cast<std::int64_t>(i) + 1;
    motif.motifName = "motif" + std::to_string(i + 1);
    motif.datasetNum = 1;
    motif.motifNumInFile = motif.motifID;
    motif.matrix = matrices[i];
    motif.revCompMatrix = getRevCompMotif(motif.matrix);
    motif.consensus = getConsensusString(motif.matrix);
    motif.revCompConsensus = getConsensusString(motif.revCompMatrix);
    Datasets.push_back(motif);
  }

  // Side by side: the modes in turn, alternating when repeated; each mode reports its fastest pass.
  omp_set_num_threads(threads);
  std::map<std::string, LogoPass> best;
  for (int r = 0; r < repeat; ++r)
    for (const Mode& mode : modes) {
      LogoPass pass = drawPass(mode);
      if (!best.count(mode.name) || pass.seconds < best[mode.name].seconds) best[mode.name] = std::move(pass);
    }

  const long wanted = 2 * static_cast<long>(matrices.size());
  const LogoPass& plain = best["off"];
  bool complete = true;
  for (const Mode& mode : modes) {
    const LogoPass& pass = best[mode.name];
    complete = complete && pass.images == wanted;
    std::cout << "mode=logos renderer=" << mode.name << " source=" << source << " motifs=" << matrices.size()
              << " threads=" << threads << " seconds=" << pass.seconds
              << " child_cpu_seconds=" << pass.childSeconds
              << " seconds_per_image=" << pass.seconds / static_cast<double>(wanted)
              << " child_cpu_per_image=" << pass.childSeconds / static_cast<double>(wanted)
              << " images=" << pass.images << " empty=" << pass.empty;
    if (&pass != &plain) {
      long differing = 0;
      for (const auto& [name, bytes] : pass.files) {
        const auto same = plain.files.find(name);
        if (same == plain.files.end() || same->second != bytes) ++differing;
      }
      complete = complete && differing == 0;
      std::cout << " differing_from_plain=" << differing << " speedup=" << plain.seconds / pass.seconds;
    }
    std::cout << std::endl;
  }
  // One drawing at a time, in milliseconds: the start, the drawing, the conversion.
  for (const Mode& mode : modes) {
    const Phases phases = breakdown(mode, matrices.front(), root, samples);
    std::cout << "mode=logo-breakdown renderer=" << mode.name << " samples=" << samples;
    if (phases.startApart)
      std::cout << " start_ms=" << 1000 * phases.startSeconds << " start_cpu_ms=" << 1000 * phases.startCpu
                << " drawing_ms=" << 1000 * phases.drawingSeconds
                << " drawing_cpu_ms=" << 1000 * phases.drawingCpu;
    else
      std::cout << " start_and_drawing_ms=" << 1000 * phases.startSeconds
                << " start_and_drawing_cpu_ms=" << 1000 * phases.startCpu;
    std::cout << " conversion_ms=" << 1000 * phases.conversionSeconds
              << " conversion_cpu_ms=" << 1000 * phases.conversionCpu << std::endl;
  }
  if (keep)
    std::cout << "folder=" << outputPath + jobID + "image" << std::endl;
  else
    fs::remove_all(root);
  resetGlobals();
  return complete ? 0 : 1;
}

}  // namespace korvelan::bench
