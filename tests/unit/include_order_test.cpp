// The floors of ARCHITECTURE.md, enforced: every #include under src/ and tools/ is read and checked
// against the written order. A folder includes its own headers and those of the floors below it,
// never above or beside; the platform's floors are checked folder by folder; SDL and ImGui are
// seen only by the desktop, Emscripten only by the web backend, GL and EGL only by the GL backend.
// Adding a folder means giving it a place in the table below (an unknown folder fails), which is
// the point.
//
// Sections: the order · the rule · the whole tree · the rule on known cases.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- The order ---------------------------------------------------------------------------------

// Bottom to top. Folders of one rank may not include each other (the desktop and the web backend
// are alternatives; math and resources are unrelated leaves).
const std::map<std::string, int> PLATFORM_FLOORS = {
    {"host", 0}, // contracts and headless defaults
    {"win32", 1},   {"xfile", 2}, {"ddraw", 3},
    {"d3d", 4},     {"gl", 5}, // the GL backend of the device contract
    {"drivers", 6},            // driver sets from the one builder
    {"desktop", 7},            // SDL and ImGui behind the host's seams
    {"web", 7},                // the same seams in a browser
};

const std::map<std::string, int> PROGRAM_LAYERS = {
    {"math", 1},      {"resources", 1}, {"texture", 2}, {"mesh", 3},
    {"framework", 4}, {"app", 5},       {"demo", 6},
};

// The platform's own declarations (records, constants, interfaces): the contracts in host/ are
// written in these types, so every floor may include them.
const std::set<std::string> DECLARATION_HEADERS = {
    "platform/win32/types.h",     "platform/win32/user.h",  "platform/win32/gdi.h",
    "platform/win32/resources.h", "platform/ddraw/ddraw.h", "platform/d3d/d3d.h",
};

// What the program sees of the platform: its API and the host's contracts. Implementations are
// installed by entries.
const std::set<std::string> PLATFORM_API = {"host", "win32", "xfile", "ddraw", "d3d"};

// Entries wire implementations together: the program's on the desktop, the capture tool's
// offscreen (never the desktop: it runs without one), the page's in a browser.
const std::map<std::string, std::set<std::string>> ENTRY_PLATFORM = {
    {"src/demo/main.cpp", {"desktop"}},
    {"tools/capture", {"gl", "drivers"}},
    {"tools/web", {"web"}},
};

// Tools that share another tool's code where the two must agree: the page's ?at= draws on the
// capture tool's frame schedule, so that both draw the same picture of a moment.
const std::map<std::string, std::set<std::string>> TOOL_SHARES = {
    {"tools/web", {"capture"}},
};

// ---- The rule ----------------------------------------------------------------------------------

// Where a file or an included header lives: "platform/<floor>", a program layer, or a tool.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find('/');
    if (slash == std::string::npos) {
        return "";
    }
    const std::string first = path.substr(0, slash);
    if (first == "platform") {
        const size_t next = path.find('/', slash + 1);
        return next == std::string::npos ? "" : path.substr(0, next);
    }
    return first;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool EntryMayInclude(const std::string& file, const std::string& floor) {
    for (const auto& [entry, floors] : ENTRY_PLATFORM) {
        if (StartsWith(file, entry) && floors.count(floor) != 0) {
            return true;
        }
    }
    return false;
}

// The reason `file` (relative to the source root) may not include `header` ("..." or <...>), or
// "" when it may. Quoted headers without a folder are the including folder's own.
std::string Violation(const std::string& file, const std::string& header, bool angled) {
    const bool inDesktop = StartsWith(file, "src/platform/desktop/");
    const bool inWeb = StartsWith(file, "src/platform/web/");
    const bool inGl = StartsWith(file, "src/platform/gl/");
    if (angled) {
        if ((StartsWith(header, "SDL") || StartsWith(header, "imgui")) && !inDesktop) {
            return "SDL and ImGui belong to platform/desktop/";
        }
        if (StartsWith(header, "emscripten") && !inWeb) {
            return "Emscripten belongs to platform/web/";
        }
        if ((StartsWith(header, "epoxy/") || StartsWith(header, "GL/") ||
             StartsWith(header, "EGL/") || StartsWith(header, "GLES")) &&
            !inGl) {
            return "GL and EGL belong to platform/gl/";
        }
        return "";
    }
    if (header.find('/') == std::string::npos) {
        return "";
    }
    const std::string target = FolderOf(header);
    if (StartsWith(file, "tools/")) {
        const std::string tool = "tools/" + FolderOf(file.substr(6));
        if (StartsWith(header, FolderOf(file.substr(6)) + "/")) {
            return ""; // the tool's own ("mkmedia/...")
        }
        if (tool == "tools/mkmedia") {
            return "the media generator links nothing of the program";
        }
        const auto shares = TOOL_SHARES.find(tool);
        if (shares != TOOL_SHARES.end() && shares->second.count(target) != 0) {
            return "";
        }
        if (PROGRAM_LAYERS.count(target) != 0) {
            return "";
        }
        if (StartsWith(target, "platform/")) {
            const std::string floor = target.substr(9);
            return PLATFORM_API.count(floor) != 0 || EntryMayInclude(file, floor)
                       ? ""
                       : "a tool sees the platform's API, and as an entry the floors it wires";
        }
        return "an include of an unknown folder: " + target;
    }
    if (!StartsWith(file, "src/")) {
        return "only src/ and tools/ are checked";
    }
    const std::string own = FolderOf(file.substr(4));
    if (target == own) {
        return "";
    }
    if (StartsWith(own, "platform/")) {
        const auto from = PLATFORM_FLOORS.find(own.substr(9));
        if (from == PLATFORM_FLOORS.end()) {
            return "a platform folder without a floor: " + own;
        }
        if (DECLARATION_HEADERS.count(header) != 0) {
            return "";
        }
        if (!StartsWith(target, "platform/")) {
            return "the platform includes nothing of the program";
        }
        const auto to = PLATFORM_FLOORS.find(target.substr(9));
        if (to == PLATFORM_FLOORS.end()) {
            return "an include of a platform folder without a floor: " + target;
        }
        return to->second < from->second
                   ? ""
                   : own + " may not include " + target + " (a floor " +
                         (to->second == from->second ? "beside" : "above") + " its own)";
    }
    const auto from = PROGRAM_LAYERS.find(own);
    if (from == PROGRAM_LAYERS.end()) {
        return "a folder without a layer: " + own;
    }
    if (StartsWith(target, "platform/")) {
        const std::string floor = target.substr(9);
        return PLATFORM_API.count(floor) != 0 || EntryMayInclude(file, floor)
                   ? ""
                   : "the program sees only the platform's API and contracts, not " + target;
    }
    const auto to = PROGRAM_LAYERS.find(target);
    if (to == PROGRAM_LAYERS.end()) {
        return "an include of an unknown folder: " + target;
    }
    return to->second < from->second ? "" : own + " may not include " + target;
}

// ---- The whole tree ----------------------------------------------------------------------------

TEST(IncludeOrder, EveryIncludeUnderSrcAndToolsKeepsTheFloors) {
    const fs::path root = LUMENFALL_SOURCE_DIR;
    const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<std::string> broken;
    size_t checked = 0;
    for (const char* top : {"src", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) {
                continue;
            }
            const std::string file = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch match;
                if (!std::regex_search(line, match, include)) {
                    continue;
                }
                ++checked;
                const std::string why = Violation(file, match[2], match[1] == "<");
                if (!why.empty()) {
                    broken.push_back(file + ":" + std::to_string(number) + ": " + match[2].str() +
                                     ": " + why);
                }
            }
        }
    }
    EXPECT_GT(checked, 500u) << "the tree was not found under " << root;
    std::string report;
    for (const std::string& line : broken) {
        report += line + "\n";
    }
    EXPECT_TRUE(broken.empty()) << report;
}

// ---- The rule on known cases -------------------------------------------------------------------

TEST(IncludeOrder, TheRuleRefusesWhatTheFloorsForbid) {
    // Allowed: down, own folder, declarations, the program's API, the entries' wiring.
    EXPECT_EQ(Violation("src/platform/gl/renderer.h", "platform/d3d/device_state.h", false), "");
    EXPECT_EQ(Violation("src/platform/host/host.h", "platform/win32/resources.h", false), "");
    EXPECT_EQ(Violation("src/platform/desktop/sdl_keys.h", "SDL.h", true), "");
    EXPECT_EQ(Violation("src/mesh/mesh_file.h", "texture/texture_store.h", false), "");
    EXPECT_EQ(Violation("src/demo/main.cpp", "platform/desktop/program.h", false), "");
    EXPECT_EQ(Violation("tools/capture/capture_drivers.cpp", "platform/gl/context.h", false), "");
    EXPECT_EQ(Violation("tools/capture/main.cpp", "capture_options.h", false), "");
    EXPECT_EQ(Violation("src/platform/web/web_page.cpp", "emscripten.h", true), "");
    EXPECT_EQ(Violation("src/platform/web/x.cpp", "platform/drivers/driver_builder.h", false), "");
    EXPECT_EQ(Violation("tools/web/web_main.cpp", "platform/web/program.h", false), "");
    EXPECT_EQ(Violation("tools/web/moment_run.cpp", "capture/frame_timeline.h", false), "");

    // Refused: up, beside, the wrong backend's headers, implementations seen by the program.
    EXPECT_NE(Violation("src/platform/ddraw/present.cpp", "platform/gl/renderer.h", false), "");
    EXPECT_NE(Violation("src/platform/host/drivers.cpp", "platform/win32/kernel.h", false), "");
    EXPECT_NE(Violation("src/platform/desktop/x.cpp", "platform/web/y.h", false), "");
    EXPECT_NE(Violation("src/platform/web/x.cpp", "platform/desktop/y.h", false), "");
    EXPECT_NE(Violation("src/platform/gl/x.cpp", "emscripten/html5.h", true), "");
    EXPECT_NE(Violation("src/platform/web/x.cpp", "GLES3/gl3.h", true), "");
    EXPECT_NE(Violation("tools/capture/x.cpp", "platform/web/program.h", false), "");
    EXPECT_NE(Violation("tools/capture/x.cpp", "web/moment_run.h", false), "");
    EXPECT_NE(Violation("src/platform/gl/context.cpp", "SDL.h", true), "");
    EXPECT_NE(Violation("src/platform/desktop/x.cpp", "epoxy/gl.h", true), "");
    EXPECT_NE(Violation("src/demo/frame.cpp", "platform/gl/gl_device.h", false), "");
    EXPECT_NE(Violation("src/demo/frame.cpp", "platform/desktop/program.h", false), "");
    EXPECT_NE(Violation("src/math/vector.cpp", "mesh/mesh_file.h", false), "");
    EXPECT_NE(Violation("src/platform/d3d/x.cpp", "demo/demo_app.h", false), "");
    EXPECT_NE(Violation("tools/capture/x.cpp", "platform/desktop/program.h", false), "");
    EXPECT_NE(Violation("tools/mkmedia/x.cpp", "platform/win32/types.h", false), "");
    EXPECT_NE(Violation("src/newfolder/x.cpp", "math/vector.h", false), "");
}

} // namespace
