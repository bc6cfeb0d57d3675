// No DLL is taken from the program's folder. Copies of a marker DLL, under the names the program
// and the system DLLs it uses look for, lie beside a copy of the program while it lists printers
// and stores a setting through OK, and none of them may load. A careless program in the same
// folder shows which of those names the loader would take from there at all.
#include <cstdio>
#include <map>
#include <set>

#include "tests/wine/tools/console_text.h"
#include "tests/wine/tools/windows_path.h"
#include "tests/wine/window/window_fixture.h"

#include <tlhelp32.h>  // after windows.h

namespace pdwin {
namespace {

// Lower case, as the folder's marker files are compared.
const wchar_t* const kPlantedNames[] = {
    // What the program itself loads, and DLLs that Windows' own code loads by name into a
    // window or printing program.
    L"winspool.drv", L"uxtheme.dll", L"version.dll", L"dwmapi.dll", L"comctl32.dll", L"oleacc.dll",
    L"imm32.dll", L"msimg32.dll", L"cryptbase.dll", L"profapi.dll", L"wtsapi32.dll", L"usp10.dll",
    L"winmm.dll", L"msctf.dll", L"textshaping.dll", L"cryptsp.dll", L"userenv.dll", L"propsys.dll",
    L"uiautomationcore.dll", L"apphelp.dll",
    // The printing side: the driver's dialog and the spooler's helpers.
    L"compstui.dll", L"wineps.drv", L"localspl.dll", L"spoolss.dll", L"printui.dll", L"ntprint.dll",
    L"prntvpt.dll", L"shcore.dll",
    // The one name with no Windows or Wine DLL behind it: any loader that searches the folder
    // takes it, so the careless program proves the planting works.
    L"pd_planted_probe.dll"};
constexpr wchar_t kProbe[] = L"pd_planted_probe.dll";
constexpr wchar_t kMarkerSuffix[] = L".loaded";

std::wstring Lower(std::wstring text) {
  CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::wstring FromEnvironmentPath(const wchar_t* variable) {
  const std::wstring configured = EnvironmentValue(variable);
  return configured.empty() ? L"" : pdtest::ToWindowsPath(configured);
}

// A fresh folder under %TEMP%, removed with everything in it.
class PlantFolder {
 public:
  PlantFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return;
    path_ = std::wstring(temp) + L"pd-planted-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    Remove();
    if (!CreateDirectoryW(path_.c_str(), nullptr)) path_.clear();
  }
  ~PlantFolder() { Remove(); }
  PlantFolder(const PlantFolder&) = delete;
  PlantFolder& operator=(const PlantFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  std::wstring Path(const std::wstring& name) const { return path_ + name; }
  bool Copy(const std::wstring& from, const std::wstring& name) const {
    return CopyFileW(from.c_str(), Path(name).c_str(), FALSE) != FALSE;
  }

  // The planted names whose copy has been loaded, each with the program that loaded it.
  std::map<std::wstring, std::wstring> Loaded() const {
    std::map<std::wstring, std::wstring> loaded;
    const size_t suffix_length = std::size(kMarkerSuffix) - 1;
    for (const std::wstring& file : Files()) {
      if (file.size() <= suffix_length) continue;
      const size_t name_length = file.size() - suffix_length;
      if (file.compare(name_length, suffix_length, kMarkerSuffix) != 0) continue;
      loaded[Lower(file.substr(0, name_length))] = ReadText(Path(file));
    }
    return loaded;
  }
  void ForgetLoads() const {
    for (const auto& entry : Loaded()) DeleteFileW(Path(entry.first + kMarkerSuffix).c_str());
  }

 private:
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Path(L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        files.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return files;
  }
  static std::wstring ReadText(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return {};
    wchar_t text[1024] = {};
    DWORD read = 0;
    ReadFile(file.get(), text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
    return text;
  }
  void Remove() const {
    if (path_.empty()) return;
    for (const std::wstring& file : Files()) DeleteFileW(Path(file).c_str());
    RemoveDirectoryW(path_.c_str());
  }

  std::wstring path_;
};

// The modules loaded in process `pid`: lower-case base name to full path.
std::map<std::wstring, std::wstring> ModulesOf(DWORD pid) {
  std::map<std::wstring, std::wstring> modules;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return modules;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32FirstW(snapshot.get(), &entry); more;
       more = Module32NextW(snapshot.get(), &entry)) {
    modules[Lower(entry.szModule)] = entry.szExePath;
  }
  return modules;
}

std::wstring Describe(const std::map<std::wstring, std::wstring>& entries) {
  std::wstring text;
  for (const auto& [name, detail] : entries) text += L"\n  " + name + L" (" + detail + L")";
  return text;
}

// For the test's log: what this run could and could not show.
void Note(const std::wstring& text) { std::printf("%s\n", pdtest::ToUtf8(text).c_str()); }

class PlantedDllTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    folder_ = std::make_unique<PlantFolder>();
    ASSERT_TRUE(folder_->ok()) << "cannot create a folder under %TEMP%";
    const std::wstring marker = FromEnvironmentPath(L"PD_MARKER_DLL");
    const std::wstring careless = FromEnvironmentPath(L"PD_PLAIN_LOADER_EXE");
    const std::wstring program = FromEnvironmentPath(L"PD_APP_EXE");
    ASSERT_FALSE(marker.empty()) << "set PD_MARKER_DLL to pd_marker.dll";
    ASSERT_FALSE(careless.empty()) << "set PD_PLAIN_LOADER_EXE to pd_plain_loader.exe";
    ASSERT_FALSE(program.empty()) << "set PD_APP_EXE to PrinterDefaults.exe";
    for (const wchar_t* name : kPlantedNames) ASSERT_TRUE(folder_->Copy(marker, name)) << name;
    ASSERT_TRUE(folder_->Copy(careless, L"pd_plain_loader.exe"));
    ASSERT_TRUE(folder_->Copy(program, L"PrinterDefaults.exe"));
  }
  void TearDown() override {
    app_.reset();  // the folder cannot go while the program runs from it
    folder_.reset();
  }

  // Which planted names a program that loads each by name alone takes from the folder.
  std::set<std::wstring> TakenByACarelessProgram() {
    std::wstring names;
    for (const wchar_t* name : kPlantedNames) names += std::wstring(L" ") + name;
    AppProcess careless(folder_->Path(L"pd_plain_loader.exe"), names);
    EXPECT_TRUE(careless.started()) << "CreateProcess failed: " << careless.start_error();
    DWORD exit_code = STILL_ACTIVE;
    EXPECT_TRUE(careless.WaitForExit(kExitTimeoutMs, &exit_code));
    std::set<std::wstring> taken;
    for (const auto& entry : folder_->Loaded()) taken.insert(entry.first);
    folder_->ForgetLoads();
    return taken;
  }

  std::unique_ptr<PlantFolder> folder_;
};

TEST_F(PlantedDllTest, NoneLoadsWhileTheProgramListsAndStores) {
  const std::set<std::wstring> takeable = TakenByACarelessProgram();
  ASSERT_EQ(takeable.count(kProbe), 1u) << "the planted copies do not load even when searched "
                                           "for by name: this test would show nothing";
  std::wstring own_copy;
  for (const wchar_t* name : kPlantedNames) {
    if (takeable.count(name) == 0) own_copy += std::wstring(L" ") + name;
  }
  // Wine maps its own builtin for most system names whatever the folder holds (all but the
  // builtins that defer to a native copy); for those names only a Windows run shows anything.
  Note(L"the loader takes its own copy, never the folder's, of:" + own_copy);

  ASSERT_NO_FATAL_FAILURE(AddPrinters({L"Kelvo LP-1"}));
  ASSERT_NO_FATAL_FAILURE(StartAppAt(folder_->Path(L"PrinterDefaults.exe")));
  EXPECT_EQ(Items(), EligibleNow());
  std::map<std::wstring, std::wstring> modules;
  // Whatever went wrong in the dialog, what loaded from the folder is the finding.
  EXPECT_NO_FATAL_FAILURE(
      ChooseThroughOk(L"Kelvo LP-1", L"A4", [&] { modules = ModulesOf(app_->id()); }));
  pdtest::PrinterRecord stored;
  EXPECT_EQ(pdtest::ReadPrinterRecord(L"Kelvo LP-1", &stored), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(stored.paper_size, DMPAPER_A4);

  const std::map<std::wstring, std::wstring> loaded = folder_->Loaded();
  EXPECT_TRUE(loaded.empty()) << "planted DLLs loaded, by:" << Describe(loaded);

  // Not vacuous: the program did load some of the names the folder could have served.
  EXPECT_FALSE(modules.empty()) << "no list of the program's modules while its dialog was open";
  std::map<std::wstring, std::wstring> served_elsewhere;
  for (const std::wstring& name : takeable) {
    const auto module = modules.find(name);
    if (module != modules.end()) served_elsewhere[name] = module->second;
  }
  if (!modules.empty()) {
    EXPECT_FALSE(served_elsewhere.empty())
        << "the program loaded none of the names the folder could serve; nothing was shown. "
           "Its modules:"
        << Describe(modules);
  }
  Note(L"loaded from outside the folder although it could serve them:" +
       Describe(served_elsewhere));
}

}  // namespace
}  // namespace pdwin
