// reshape_io_floor: does the file operations that reshape cannot avoid, and nothing else, so
// that its time is the floor for the same work on the same files.
//
//   reshape_io_floor text LOGFILE CHANGED FILE...
//                                      read each file; for each file that CHANGED names (lines
//                                      "NAME LOGBYTES": the files a run changed and the bytes
//                                      of their log lines) also write its bytes to the
//                                      temporary file beside it, append LOGBYTES bytes to
//                                      the change log in one operation, rename the temporary
//                                      file over the file
//   reshape_io_floor form MANIFEST     for each "NAME TEXTSIZE" line: read the form file, write
//                                      NAME.dfb with its bytes, write the new form through a
//                                      temporary file renamed over it, write NAME.dft of
//                                      TEXTSIZE bytes
//   reshape_io_floor walk LOGFILE CHANGED FORMS MASKSET...
//                                      one walk of the current directory per MASKSET (a comma
//                                      separated list of extensions, "pas,cpp,hpp,h"), as a
//                                      recursive run's pass walks: depth first, each directory
//                                      read once, its files mask by mask in name order, then its
//                                      subdirectories in name order, leaving out those whose
//                                      name starts with "." or "__" and links; each selected
//                                      file is read. A file that CHANGED names ("PATH LOGBYTES",
//                                      or "-" for none) is then written through a temporary
//                                      file with its log append, once, in the first pass that
//                                      takes it. In a pass that takes forms, every form also
//                                      gets NAME.dfb and, when FORMS ("PATH TEXTSIZE", from the
//                                      tree generator) gives a text size above 0, NAME.dft,
//                                      each through a temporary file renamed into place.
// A log append is what the tool must do: open, lock, look at the last 128 bytes for an
// end-of-text mark, append, close.
#include <fcntl.h>
#include <dirent.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::perror(what.c_str());
  std::exit(1);
}

void ReadFile(const std::string& name, std::string& bytes) {
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(name);
  struct stat st{};
  if (::fstat(fd, &st) != 0) Fail(name);
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) Fail(name);
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

void WriteFile(const std::string& name, const char* data, std::size_t size) {
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail(name);
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n <= 0) Fail(name);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) Fail(name);
}

// The name with its extension replaced, as the tool names its side files.
std::string WithExtension(const std::string& name, const char* extension) {
  std::size_t dot = name.find_last_of("./");
  std::string base = dot != std::string::npos && name[dot] == '.' ? name.substr(0, dot) : name;
  return base + extension;
}

void ReplaceThroughTemporary(const std::string& name, const std::string& bytes) {
  const std::string temp = WithExtension(name, ".XXX");
  WriteFile(temp, bytes.data(), bytes.size());
  if (::rename(temp.c_str(), name.c_str()) != 0) Fail(name);
}

void AppendLog(const std::string& name, const std::string& line) {
  int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) Fail(name);
  struct stat st{};
  if (::fstat(fd, &st) != 0) Fail(name);
  off_t size = st.st_size;
  if (size > 0) {
    char tail[128];
    off_t from = size > 128 ? size - 128 : 0;
    ssize_t got = ::pread(fd, tail, static_cast<std::size_t>(size - from), from);
    if (got < 0) Fail(name);
    if (const void* mark = std::memchr(tail, 26, static_cast<std::size_t>(got))) {
      size = from + (static_cast<const char*>(mark) - tail);
      if (::ftruncate(fd, size) != 0) Fail(name);
    }
  }
  if (::pwrite(fd, line.data(), line.size(), size) != static_cast<ssize_t>(line.size())) Fail(name);
  if (::close(fd) != 0) Fail(name);
}

using SizeMap = std::map<std::string, std::size_t>;

SizeMap ReadSizes(const char* file) {
  SizeMap sizes;
  if (std::string(file) == "-") return sizes;
  std::ifstream list(file);
  std::string name;
  std::size_t size = 0;
  while (list >> name >> size) sizes[name] = size;
  return sizes;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    parts.push_back(list.substr(start, comma - start));
  parts.push_back(list.substr(start));
  return parts;
}

bool HasExtension(const std::string& name, const std::string& extension) {
  const std::size_t n = extension.size();
  return name.size() > n + 1 && name[name.size() - n - 1] == '.' &&
         ::strcasecmp(name.c_str() + name.size() - n, extension.c_str()) == 0;
}

// What one recursive pass cannot avoid doing to one selected file.
struct WalkWork {
  const char* log;
  SizeMap changed, forms;
  std::string bytes, lines, text;

  void File(const std::string& path, bool formPass) {
    ReadFile(path, bytes);
    if (formPass) {
      ReplaceThroughTemporary(WithExtension(path, ".dfb"), bytes);
      auto form = forms.find(path);
      if (form != forms.end() && form->second > 0) {
        text.assign(form->second, ' ');
        ReplaceThroughTemporary(WithExtension(path, ".dft"), text);
      }
    }
    auto found = changed.find(path);
    if (found == changed.end()) return;
    const std::string temp = WithExtension(path, ".XXX");
    WriteFile(temp, bytes.data(), bytes.size());
    lines.assign(found->second, 'x');
    if (!lines.empty()) AppendLog(log, lines);
    if (::rename(temp.c_str(), path.c_str()) != 0) Fail(path);
    changed.erase(found);
  }
};

bool UpperLess(const std::string& a, const std::string& b) {
  const int c = ::strcasecmp(a.c_str(), b.c_str());
  return c != 0 ? c < 0 : a < b;
}

void Walk(const std::vector<std::string>& extensions, WalkWork& work) {
  const bool formPass = std::find(extensions.begin(), extensions.end(), "dfm") != extensions.end();
  std::vector<std::string> pending{""}, files, dirs;
  while (!pending.empty()) {
    const std::string directory = std::move(pending.back());
    pending.pop_back();
    files.clear();
    dirs.clear();
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (dir == nullptr) Fail(directory);
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (entry->d_type == DT_DIR) {
        if (name[0] != '.' && name.compare(0, 2, "__") != 0) dirs.push_back(name);
      } else if (entry->d_type == DT_REG) {
        for (const std::string& extension : extensions)
          if (HasExtension(name, extension)) {
            files.push_back(name);
            break;
          }
      }
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end(), UpperLess);
    std::sort(dirs.begin(), dirs.end(), UpperLess);
    for (const std::string& extension : extensions)
      for (const std::string& name : files)
        if (HasExtension(name, extension)) work.File(directory + name, formPass);
    for (auto name = dirs.rbegin(); name != dirs.rend(); ++name)
      pending.push_back(directory + *name + "/");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: reshape_io_floor text LOGFILE CHANGED FILE... | form MANIFEST\n"
                 "       reshape_io_floor walk LOGFILE CHANGED FORMS MASKSET...\n";
    return 2;
  }
  const std::string mode = argv[1];
  std::string bytes;
  if (mode == "text" && argc >= 4) {
    std::map<std::string, std::size_t> changed;
    std::ifstream list(argv[3]);
    std::string name;
    std::size_t logBytes = 0;
    while (list >> name >> logBytes) changed[name] = logBytes;
    std::string lines;
    for (int i = 4; i < argc; ++i) {
      ReadFile(argv[i], bytes);
      auto found = changed.find(argv[i]);
      if (found == changed.end()) continue;
      const std::string temp = WithExtension(argv[i], ".XXX");
      WriteFile(temp, bytes.data(), bytes.size());
      lines.assign(found->second, 'x');
      if (!lines.empty()) AppendLog(argv[2], lines);
      if (::rename(temp.c_str(), argv[i]) != 0) Fail(argv[i]);
    }
    return 0;
  }
  if (mode == "walk" && argc >= 6) {
    WalkWork work{argv[2], ReadSizes(argv[3]), ReadSizes(argv[4]), {}, {}, {}};
    for (int i = 5; i < argc; ++i) Walk(Split(argv[i]), work);
    return 0;
  }
  if (mode == "form") {
    std::ifstream manifest(argv[2]);
    std::string name;
    std::size_t textSize = 0;
    std::string text;
    while (manifest >> name >> textSize) {
      ReadFile(name, bytes);
      WriteFile(WithExtension(name, ".dfb"), bytes.data(), bytes.size());
      text.assign(textSize, ' ');
      ReplaceThroughTemporary(name, bytes);
      WriteFile(WithExtension(name, ".dft"), text.data(), text.size());
    }
    return 0;
  }
  std::cerr << "unknown mode " << mode << "\n";
  return 2;
}
