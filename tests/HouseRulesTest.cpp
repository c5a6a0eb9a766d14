// The rules the code base keeps: the game reaches the machine only through the facade, and the built-in data
// tables hold exactly the values their readers take.
#include "GameFixture.h"
#include "core/Tables.h"
#include "graphics/Logo.h"
#include "platform/Data.h"
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {
const fs::path SourceDir = KESTROVAR_SOURCE_DIR;

std::vector<fs::path> SourcesUnder(const char* folder, bool recursive = true) {
    std::vector<fs::path> files;
    fs::path root = SourceDir / folder;
    if (!fs::exists(root)) return files;
    auto add = [&](const fs::directory_entry& entry) {
        std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h" || ext == ".hpp")) files.push_back(entry.path());
    };
    if (recursive)
        for (const auto& entry : fs::recursive_directory_iterator(root)) add(entry);
    else
        for (const auto& entry : fs::directory_iterator(root)) add(entry);
    return files;
}

std::vector<fs::path> GameAndTestSources() {
    std::vector<fs::path> files;
    for (const char* folder : {"core", "graphics", "fortress", "game", "frontend", "program"}) {
        auto more = SourcesUnder(folder);
        files.insert(files.end(), more.begin(), more.end());
    }
    auto tests = SourcesUnder("tests", false); // the back ends' own tests live in folders below
    files.insert(files.end(), tests.begin(), tests.end());
    return files;
}

// Headers of SDL, OpenGL and the operating system, and the system calls that have a facade function instead.
const std::regex BannedInclude(
    R"(^\s*#\s*include\s*[<"](SDL2?/|SDL[_.]|GL/|GLES|EGL/|epoxy/|windows\.h|unistd\.h|dlfcn\.h|fcntl\.h|sys/|pthread\.h|dirent\.h|signal\.h|termios\.h|X11/|jpeglib\.h|png\.h|vorbis/|curl/))");
const std::regex BannedCall(
    R"(\b(dlopen|dlsym|fsync|fdatasync|SDL_\w+|gl[A-Z]\w*|std::rename|::rename|getenv|std::getenv|time\s*\(\s*(nullptr|NULL|0)\s*\)|std::chrono::system_clock|rand\s*\(\s*\)|srand)\b)");

// The C library's maths that rounds differently from one system and release to the next (its trigonometry, and the
// exponentials, logarithms and powers alike), called with or without std:: and in its float and long double forms.
// sqrt, fmod and fabs are exact everywhere and stay allowed.
const std::regex LibraryMaths(
    R"(\b(std::)?(sin|cos|tan|asin|acos|atan|atan2|sincos|sinh|cosh|tanh|asinh|acosh|atanh|exp|exp2|expm1|log|log2|log10|log1p|pow|cbrt|hypot)[fl]?\s*\()");

// The simulation's code: whatever the game's state depends on, and the facade's maths it calls. The bot and the
// drawing may use the C library's maths: the bot only chooses keys, and a picture changes no state.
std::vector<fs::path> SimulationSources() {
    std::vector<fs::path> files = SourcesUnder("platform", false);
    for (const char* folder : {"core", "fortress", "game"}) {
        auto more = SourcesUnder(folder);
        files.insert(files.end(), more.begin(), more.end());
    }
    std::erase_if(files, [](const fs::path& file) { return file.stem() == "ReplayBot"; });
    return files;
}

// The floors of the house, from the ground up: a file includes only from its own floor and those below it. The
// replays also reach the back end only through the facade.
const std::pair<const char*, int> Floors[] = {{"platform", 1}, {"core", 2},     {"graphics", 3}, {"fortress", 4},
                                              {"game", 5},     {"frontend", 6}, {"program", 7}};
const std::regex ProjectInclude(R"re(^\s*#\s*include\s*"([a-z]+)/([^"]+)")re");
const std::regex IncludeOfBackEnd(R"(^\s*#\s*include\s*[<"][^>"]*(headless|sdl)/)");

int FloorOf(const std::string& folder) {
    for (const auto& [name, floor] : Floors)
        if (folder == name) return floor;
    return 0; // beside the house: netlib/, server/, tests/
}

// The include on this line when it runs up from a file on the given floor; empty otherwise.
std::string UpInclude(int floor, const std::string& line) {
    std::smatch include;
    if (!std::regex_search(line, include, ProjectInclude) || FloorOf(include[1]) <= floor) return {};
    return include[1].str() + "/" + include[2].str();
}

std::vector<std::string> FloorBreaches() {
    std::vector<std::string> breaches;
    for (const auto& [folder, floor] : Floors) {
        for (const fs::path& file : SourcesUnder(folder)) {
            std::string relative = fs::relative(file, SourceDir).generic_string();
            std::ifstream in(file);
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                if (!UpInclude(floor, line).empty() ||
                    (relative.starts_with("game/replay/") && std::regex_search(line, IncludeOfBackEnd)))
                    breaches.push_back(relative + ":" + std::to_string(number) + ": " + line);
            }
        }
    }
    return breaches;
}
} // namespace

TEST(HouseRulesTest, EveryFloorIncludesOnlyTheFloorsBelowIt) {
    for (const std::string& breach : FloorBreaches()) ADD_FAILURE() << breach;
    // The rule sees the lines it is there for, and lets the ones going down pass.
    const int fortress = FloorOf("fortress"), game = FloorOf("game");
    EXPECT_EQ(UpInclude(fortress, "#include \"game/Ship.h\""), "game/Ship.h");
    EXPECT_EQ(UpInclude(fortress, " # include \"frontend/Settings.h\" // old"), "frontend/Settings.h");
    EXPECT_EQ(UpInclude(game, "#include \"program/Startup.h\""), "program/Startup.h");
    EXPECT_EQ(UpInclude(game, "#include \"frontend/HighScores.h\""), "frontend/HighScores.h");
    EXPECT_EQ(UpInclude(fortress, "#include \"core/ShipState.h\""), "");
    EXPECT_EQ(UpInclude(fortress, "#include <vector>"), "");
    EXPECT_TRUE(std::regex_search("#include \"platform/headless/Headless.h\"", IncludeOfBackEnd));
    EXPECT_TRUE(std::regex_search("#include \"../sdl/SdlControl.h\"", IncludeOfBackEnd));
    EXPECT_FALSE(std::regex_search("#include \"platform/ScriptedRun.h\"", IncludeOfBackEnd));
}

namespace {
std::string FileText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

// CI builds what a player builds, so a build that fails only for players (another build type, another folder) is
// seen; and a compiler's new warning stops CI, never a player.
TEST(HouseRulesTest, CiBuildsThePlayersBuildAndOnlyCiTurnsWarningsIntoErrors) {
    const std::regex configure(R"(cmake -S \. -B (\S+) -DCMAKE_BUILD_TYPE=(\w+)([^\n]*))");
    std::smatch play, test;
    std::string playScript = FileText(SourceDir / "tools/play.sh"), testScript = FileText(SourceDir / "tools/test.sh");
    ASSERT_TRUE(std::regex_search(playScript, play, configure));
    ASSERT_TRUE(std::regex_search(testScript, test, configure));
    EXPECT_EQ(play[1], test[1]) << "the build folder";
    EXPECT_EQ(play[2], test[2]) << "the build type";
    EXPECT_NE(test[3].str().find("-DKESTROVAR_WERROR=ON"), std::string::npos) << test[0];
    EXPECT_NE(play[3].str().find("-DKESTROVAR_WERROR=OFF"), std::string::npos) << play[0];
    // -Werror appears once in the build, behind the option.
    std::string build = FileText(SourceDir / "CMakeLists.txt");
    std::size_t first = build.find("-Werror");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(build.find("-Werror", first + 1), std::string::npos);
    EXPECT_TRUE(std::regex_search(build, std::regex(R"(if\(KESTROVAR_WERROR\)\s*\n[^\n]*-Werror)")));
}

TEST(HouseRulesTest, GameCodeIncludesNoPlatformHeaders) {
    std::vector<fs::path> files = GameAndTestSources();
    ASSERT_GT(files.size(), 10u);
    for (const fs::path& file : files) {
        std::ifstream in(file);
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            EXPECT_FALSE(std::regex_search(line, BannedInclude)) << file << ":" << number << ": " << line;
        }
    }
}

TEST(HouseRulesTest, GameCodeCallsTheFacadeNotTheSystem) {
    for (const char* folder : {"core", "graphics", "fortress", "game", "frontend", "program"}) {
        for (const fs::path& file : SourcesUnder(folder)) {
            std::ifstream in(file);
            std::string line;
            int number = 0;
            while (std::getline(in, line)) {
                ++number;
                std::string code = line.substr(0, line.find("//"));
                EXPECT_FALSE(std::regex_search(code, BannedCall)) << file << ":" << number << ": " << line;
            }
        }
    }
}

TEST(HouseRulesTest, TheSimulationUsesOurOwnMathsNotTheCLibrarys) {
    std::vector<fs::path> files = SimulationSources();
    ASSERT_GT(files.size(), 10u);
    for (const fs::path& file : files) {
        std::ifstream in(file);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::string code = line.substr(0, line.find("//"));
            EXPECT_FALSE(std::regex_search(code, LibraryMaths)) << file << ":" << number << ": " << line;
        }
    }
    // The rule sees the lines it is there for and lets our own maths and the exact functions pass.
    EXPECT_TRUE(std::regex_search("    float a = std::atan2(y, x) * DegreesPerRadian;", LibraryMaths));
    EXPECT_TRUE(std::regex_search("return sinf (angle);", LibraryMaths));
    EXPECT_TRUE(std::regex_search("double c = cos(r), p = std::pow(c, 2.0);", LibraryMaths));
    EXPECT_FALSE(std::regex_search("m.xspeed = Sin(a) * 2; t = ATan2(dy, dx);", LibraryMaths));
    EXPECT_FALSE(std::regex_search("std::sqrt(1.0 + t * t) + std::fmod(a, FullTurn) + std::fabs(d)", LibraryMaths));
}

TEST(HouseRulesTest, TheRuleCatchesWhatItBans) {
    EXPECT_TRUE(std::regex_search("#include <SDL2/SDL.h>", BannedInclude));
    EXPECT_TRUE(std::regex_search("#include \"SDL.h\"", BannedInclude));
    EXPECT_TRUE(std::regex_search("  #  include <unistd.h>", BannedInclude));
    EXPECT_TRUE(std::regex_search("#include <epoxy/gl.h>", BannedInclude));
    EXPECT_FALSE(std::regex_search("#include \"platform/Display.h\"", BannedInclude));
    EXPECT_TRUE(std::regex_search("void* l = dlopen(name, 0);", BannedCall));
    EXPECT_TRUE(std::regex_search("glBegin(GL_LINES);", BannedCall));
    EXPECT_FALSE(std::regex_search("GlowWidth3 = 16; DrawLine(1, 2, 3, 4);", BannedCall));
}

// Every screen is a state of the one loop: only the loop flips, and only the loop's owners turn it (the program's
// mains and the replay). A screen or a helper turning a loop of its own would hide a second frame loop in the first.
TEST(HouseRulesTest, OnlyTheLoopFlipsAndOnlyItsOwnersTurnIt) {
    const std::regex flip(R"(\bFlip\s*\()"), turn(R"(\bRunFrame\s*\()");
    const std::set<std::string> turners = {"game/Loop.h", "game/Loop.cpp", "game/replay/ReplayEngine.cpp",
                                           "program/Main.cpp", "program/WebMain.cpp"};
    for (const char* folder : {"core", "graphics", "fortress", "game", "frontend", "program"})
        for (const fs::path& file : SourcesUnder(folder)) {
            std::string name = fs::relative(file, SourceDir).generic_string();
            std::ifstream in(file);
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::string code = line.substr(0, line.find("//"));
                bool flips = std::regex_search(code, flip), turns = std::regex_search(code, turn);
                EXPECT_TRUE(!flips || name == "game/Loop.cpp") << name << ":" << number << ": " << line;
                EXPECT_TRUE(!turns || turners.count(name) == 1) << name << ":" << number << ": " << line;
            }
        }
    EXPECT_TRUE(std::regex_search(FileText(SourceDir / "program/Main.cpp"), turn));
    EXPECT_TRUE(std::regex_search(FileText(SourceDir / "game/Loop.cpp"), flip));
}

namespace {
// A request or reply of the score protocol spelled out: its scripts' names, a query's option, a refusal's line.
const std::regex ProtocolSpelling(R"re("(Kestrovar_scores\.php|VersionCheck\.php)|option=|"error: )re");
} // namespace

// The game, its network component, the server and the benchmarks speak the score protocol from one header, so a
// word changed there changes for both ends (the tests spell the wire out, to pin it).
TEST(HouseRulesTest, TheScoreProtocolIsSpelledInOneHeader) {
    const fs::path protocol = SourceDir / "core/ScoreProtocol.h";
    for (const char* folder :
         {"core", "graphics", "fortress", "game", "frontend", "program", "netlib", "server", "bench"})
        for (const fs::path& file : SourcesUnder(folder)) {
            if (file == protocol) continue;
            std::ifstream in(file);
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::string code = line.substr(0, line.find("//"));
                EXPECT_FALSE(std::regex_search(code, ProtocolSpelling)) << file << ":" << number << ": " << line;
            }
        }
    EXPECT_TRUE(std::regex_search(FileText(protocol), ProtocolSpelling));
    EXPECT_TRUE(
        std::regex_search(R"(Send(2, "Kestrovar_scores.php?option=getscore&nbscore=10", 1, 0);)", ProtocolSpelling));
    EXPECT_TRUE(std::regex_search(R"(if (line == "error: busy") return;)", ProtocolSpelling));
}

using DataTableTest = GameFixture;

TEST_F(DataTableTest, KeyNamesHoldEveryBindableKeyEndingWithNotAvailable) {
    ASSERT_EQ(DataTableLength("KeyNames"), 104 * 2);
    RestoreData("KeyNames");
    std::string last;
    int lastCode = 0;
    for (int row = 0; row < 104; ++row) {
        lastCode = ReadDataInt();
        last = ReadDataString();
        ASSERT_GE(lastCode, 1);
        ASSERT_LE(lastCode, 255);
    }
    EXPECT_EQ(lastCode, 255);
    EXPECT_EQ(last, "n/a");
}

TEST_F(DataTableTest, StartUpTablesHoldWhatStartUpReads) {
    RestoreData("LogoData");
    int lines = ReadDataInt();
    EXPECT_EQ(DataTableLength("LogoData"), 1 + 8 * lines);
    EXPECT_LE(8 * lines, LogoDataSize);
    EXPECT_EQ(DataTableLength("GhostMovement"), GhostMovementValues);
    EXPECT_EQ(DataTableLength("NoSuchTable"), -1);
}
