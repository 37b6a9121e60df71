// Joining the listed pieces: the checks, the questions, the copy and its requests in order.
#include "EngineTestSupport.h"

#include "CheckFile.h"
#include "JoinListAdd.h"
#include "Crc32.h"
#include "Naming.h"
#include "Platform.h"

#include <cstdlib>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace parvix::test {
namespace {

namespace fs = std::filesystem;

// The requests of a join that completes, after its questions.
Requests completedJoin(const Requests& questions, const std::string& destination, std::size_t pieces)
{
    Requests requests = questions;
    for (const char* line : {"pointer Hourglass"})
        requests.push_back(line);
    requests.push_back("max " + std::to_string(static_cast<long long>(pieces) - 1));
    requests.push_back("value 0");
    requests.push_back("show");
    for (std::size_t i = 0; i < pieces; ++i)
        requests.push_back("value " + std::to_string(i));
    requests.push_back("pointer Default");
    requests.push_back(joinCompletion(destination));
    requests.push_back("value 0");
    requests.push_back("hide");
    return requests;
}

class Join : public EngineTest
{
protected:
    void SetUp() override
    {
        const std::string bytes = patternBytes(2500);
        for (int n = 1; n <= 3; ++n) {
            const std::string content = bytes.substr(static_cast<std::size_t>(n - 1) * 1024, 1024);
            pieces.push_back(makeFile("p$bin" + pieceSuffix(n), content));
            contents.push_back(content);
        }
        window.joinList = pieces;
        window.text4 = "typed";
    }

    struct CheckCase
    {
        std::string name;
        std::string text4;
        Requests expected;
        std::vector<Button> answers = {};
    };

    void expectStops(const CheckCase& c)
    {
        expectStopped(c.name, c.answers, c.expected, [&] { return join(c.text4); });
    }

    std::vector<std::string> pieces;
    std::vector<std::string> contents;
};

TEST_F(Join, DestinationChecks)
{
    fs::create_directory(path("sub"));
    const CheckCase cases[] = {
        {"empty destination", "", {kSpecifyName, "focus Text4"}},
        {"destination of spaces", "     ", {kSpecifyName, "focus Text4"}},
        {"destination ending in the separator",
         dir.path() + kSeparator,
         {kEnterName, "selectAll Text4", "focus Text4"}},
        {"destination ending in the separator before spaces",
         " " + dir.path() + kSeparator + " ",
         {kEnterName, "selectAll Text4", "focus Text4"}},
        {"destination in a missing folder",
         joinPath(path("nowhere"), "out.bin"),
         {kJoinPathMissing, "selectAll Text4", "focus Text4"}},
        {"destination without any separator", "out.bin", {kJoinPathMissing, "selectAll Text4", "focus Text4"}},
        {"destination that is a list entry", pieces[1], {kAlreadyListed, "selectAll Text4", "focus Text4"}},
        {"destination that is a list entry, between spaces",
         "  " + pieces[0] + "  ",
         {kAlreadyListed, "selectAll Text4", "focus Text4"}},
        {"destination written differently",
         joinPath(joinPath(path("sub"), ".."), "p$bin.003"),
         {kAlreadyListed, "selectAll Text4", "focus Text4"}},
        // What checks the pieces or joins them without the tool is no place for the joined bytes.
        {"destination that is the set's check file",
         makeFile("p$bin.crc", "filename=p.bin\nsize=2500\ncrc32=0\n"),
         {kBesideTheSet, "selectAll Text4", "focus Text4"}},
        {"destination that is the set's Link.bat",
         makeFile("Link.bat", "copy/B x"),
         {kBesideTheSet, "selectAll Text4", "focus Text4"}},
    };
    for (const auto& c : cases)
        expectStops(c);
}

TEST_F(Join, AnEmptyListIsTheOnlyMessageForAValidDestination)
{
    window.joinList.clear();
    expectStops({"empty list", path("out.bin"), {kAddPieces}});
    // The folder is checked first.
    expectStops({"empty list and missing folder",
                 joinPath(path("nowhere"), "x"),
                 {kJoinPathMissing, "selectAll Text4", "focus Text4"}});
}

TEST_F(Join, QuestionsAnsweredNoChangeNothing)
{
    const std::string existing = makeFile("existing.bin", "old content");
    const std::string fresh = path("fresh.bin");
    const CheckCase cases[] = {
        {"replace answered No", existing, {replaceQuestion(existing), "selectAll Text4", "focus Text4"}, {Button::No}},
        {"replace answered No, destination between spaces",
         "  " + existing + " ",
         {replaceQuestion(existing), "selectAll Text4", "focus Text4"},
         {Button::No}},
        {"replace Yes, confirmation No",
         existing,
         {replaceQuestion(existing), joinConfirmation(existing)},
         {Button::Yes, Button::No}},
        {"confirmation No", fresh, {joinConfirmation(fresh)}, {Button::No}},
    };
    for (const auto& c : cases)
        expectStops(c);
    EXPECT_FALSE(fileExists(fresh));
}

// The replace question is for an ordinary file, a hidden one too. A folder, a FIFO or a socket is asked
// nothing and fails at the opening as protected; a device takes the bytes.
TEST_F(Join, OnlyAnOrdinaryFileGetsTheReplaceQuestion)
{
    const std::string hidden = makeFile(".hidden.bin", patternBytes(5000, 9));
    const std::string folder = path("folder.bin");
    fs::create_directory(folder);
    const auto refusedAtOpen = [](const std::string& destination) {
        return Requests{joinConfirmation(destination),
                        "pointer Hourglass",
                        "max 2",
                        "value 0",
                        "show",
                        "box DiskError Tavrin: Disk is protected or file is protected",
                        "pointer Default",
                        "value 0",
                        "hide"};
    };
    struct Case
    {
        std::string name;
        std::string destination;
        Requests expected;
        Outcome outcome;
    };
    std::vector<Case> cases = {
        {"hidden file", hidden, completedJoin({replaceQuestion(hidden), joinConfirmation(hidden)}, hidden, 3),
         Outcome::Completed},
        {"folder", folder, refusedAtOpen(folder), Outcome::Failed},
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(path("fifo.bin").c_str(), 0600), 0);
    makeSocket(path("socket.bin"));
    fs::create_symlink("/dev/null", path("device.bin"));
    cases.push_back({"FIFO", path("fifo.bin"), refusedAtOpen(path("fifo.bin")), Outcome::Failed});
    cases.push_back({"socket", path("socket.bin"), refusedAtOpen(path("socket.bin")), Outcome::Failed});
    cases.push_back({"character device", path("device.bin"),
                     completedJoin({joinConfirmation(path("device.bin"))}, path("device.bin"), 3), Outcome::Completed});
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.clearRequests();
        EXPECT_EQ(join(c.destination).outcome, c.outcome);
        EXPECT_EQ(window.requests(), c.expected);
    }
    EXPECT_SAME_BYTES(readFile(hidden), contents[0] + contents[1] + contents[2]);
}

#ifndef _WIN32
TEST_F(Join, ADestinationLinkedToAListEntryIsRefused)
{
    fs::create_symlink(pieces[2], path("sym.bin"));
    fs::create_hard_link(pieces[0], path("hard.bin"));
    expectStops({"symbolic link", path("sym.bin"), {kAlreadyListed, "selectAll Text4", "focus Text4"}});
    expectStops({"hard link", path("hard.bin"), {kAlreadyListed, "selectAll Text4", "focus Text4"}});
    // And the other way round: a list entry that is a link to the destination.
    const std::string target = makeFile("target.bin", "x");
    fs::create_symlink(target, path("entry.001"));
    window.joinList.push_back(path("entry.001"));
    expectStops({"entry linked to the destination", target, {kAlreadyListed, "selectAll Text4", "focus Text4"}});
}
#endif

TEST_F(Join, ThePiecesAreConcatenatedInListOrder)
{
    const std::string destination = path("out.bin");

    const auto result = join(destination);

    EXPECT_EQ(result.outcome, Outcome::Completed);
    EXPECT_EQ(window.requests(), completedJoin({joinConfirmation(destination)}, destination, 3));
    EXPECT_SAME_BYTES(readFile(destination), contents[0] + contents[1] + contents[2]);
    EXPECT_EQ(window.joinList, pieces);
    EXPECT_EQ(window.text4, "typed");
    EXPECT_EQ(window.tab, kSplitTab); // a join selects no tab
    EXPECT_EQ(window.pointer, Pointer::Default);
    EXPECT_FALSE(window.progressShown);
}

TEST_F(Join, OutOfOrderEntriesJoinInTheirListOrder)
{
    window.joinList = {pieces[1], pieces[0]};
    EXPECT_EQ(join(path("out.bin")).outcome, Outcome::Completed);
    EXPECT_SAME_BYTES(readFile(path("out.bin")), contents[1] + contents[0]);
}

TEST_F(Join, ASingleEntryHasAProgressRangeOfZero)
{
    window.joinList = {pieces[2]};
    const std::string destination = path("one.bin");
    EXPECT_EQ(join(destination).outcome, Outcome::Completed);
    EXPECT_EQ(window.requests(), completedJoin({joinConfirmation(destination)}, destination, 1));
    EXPECT_EQ(readFile(destination), contents[2]);
}

TEST_F(Join, ALongerExistingDestinationEndsExactlyAsLongAsTheJoinedBytes)
{
    const std::string destination = makeFile("out.bin", patternBytes(100000, 7));

    const auto result = join(destination);

    EXPECT_EQ(result.outcome, Outcome::Completed);
    EXPECT_EQ(window.requests(),
              completedJoin({replaceQuestion(destination), joinConfirmation(destination)}, destination, 3));
    EXPECT_SAME_BYTES(readFile(destination), contents[0] + contents[1] + contents[2]);
}

// With the set's check file beside its first entry, the join checks the pieces' total before it writes
// and their bytes after: a join that would not give back the original leaves the destination as it was.
TEST_F(Join, TheSetsCheckFileIsChecked)
{
    const std::string original = contents[0] + contents[1] + contents[2];
    Crc32 crc;
    crc.update(reinterpret_cast<const std::byte*>(original.data()), original.size());
    const std::string checkFile = "filename=p.bin\r\nsize=2500\r\ncrc32=" + crcText(crc.value()) + "\r\n";
    std::string corrupted = contents[1];
    corrupted[700] = static_cast<char>(corrupted[700] ^ 0x10);
    Crc32 corruptedCrc;
    const std::string corruptedBytes = contents[0] + corrupted + contents[2];
    corruptedCrc.update(reinterpret_cast<const std::byte*>(corruptedBytes.data()), corruptedBytes.size());
    const std::string sizeQuestion = "box DamagedQuestion Parvix: The cutted files have 2500 bytes, but p$bin.crc "
                                     "says 2600，Do you want to join them anyway？";
    const std::string earlier = "an earlier file";
    const struct
    {
        const char* name;
        std::string checkFile;
        std::string piece2;
        std::vector<Button> answers; // after the replace question and the confirmation
        Outcome outcome;
        bool notOriginal;
        std::string lastBox;
        std::string after;
    } cases[] = {
        {"the original",
         checkFile,
         contents[1],
         {},
         Outcome::Completed,
         false,
         joinCompletion(path("p.bin")),
         original},
        {"one corrupted byte",
         checkFile,
         corrupted,
         {},
         Outcome::Failed,
         false,
         "box Warning Parvix: The joined file is not the original file!\rIts CRC32 is " +
             crcText(corruptedCrc.value()) + ", but p$bin.crc says " + crcText(crc.value()) + "\r" + path("p.bin") +
             " is not changed",
         earlier},
        {"another size, not joined",
         "filename=p.bin\nsize=2600\ncrc32=0\n",
         contents[1],
         {Button::No},
         Outcome::Stopped,
         false,
         sizeQuestion,
         earlier},
        {"another size, joined all the same",
         "filename=p.bin\nsize=2600\ncrc32=0\n",
         contents[1],
         {Button::Yes},
         Outcome::Completed,
         true,
         "box Notice Parvix: " + path("p.bin") + " is joined, but the cutted files failed their check",
         original},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path("p$bin.crc"), c.checkFile);
        writeFile(pieces[1], c.piece2);
        const std::string destination = makeFile("p.bin", earlier);
        const auto before = snapshotTree(dir.path());
        window.clearRequests();
        window.answer({Button::Yes, Button::Yes});
        for (const Button answer : c.answers)
            window.answer({answer});

        const auto result = join(destination);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.notOriginal, c.notOriginal);
        EXPECT_EQ(window.boxes().back(), c.lastBox);
        EXPECT_EQ(window.pointer, Pointer::Default);
        EXPECT_FALSE(window.progressShown);
        EXPECT_SAME_BYTES(readFile(destination), c.after);
        if (c.after == earlier) {
            EXPECT_EQ(snapshotTree(dir.path()), before) << "nothing left behind";
        }
    }
}

// A set cut with recovery for two pieces: "Add" lists every piece its index names and says which are
// missing; the join rebuilds up to two missing or damaged ones (summed in its pass, or, with nothing
// missing, from the joined file), names them before its completion, and with one too many names them all
// and writes nothing.
TEST_F(Join, ARepairingJoinRebuildsWhatTheRecoveryCan)
{
    // Pieces of 300 KB, the last a little shorter: a rebuilt piece is mended in more than one step.
    constexpr std::size_t kPiece = 300 * 1024;
    const std::string original = patternBytes(5 * kPiece + 290000, 7);
    const std::string rebuilds = "\rThe recovery files can rebuild them";
    const struct
    {
        const char* name;
        std::vector<int> removed;
        std::vector<int> damaged;
        std::string addNotice; // after "Please check the cutted files："
        std::string lastBoxes; // the join's, after its confirmation
        bool damagedRecovery = false; // the first recovery slice's data
    } cases[] = {
        {"a missing piece", {2}, {}, "\rThese cutted files are missing：r.002" + rebuilds,
         "Notice Parvix: These cutted files are rebuilt：r.002|"},
        {"a damaged piece", {}, {6}, "", "Notice Parvix: These cutted files are rebuilt：r.006|"},
        {"a missing piece, and a recovery slice damaged", {5}, {}, "\rThese cutted files are missing：r.005" + rebuilds,
         "Notice Parvix: These cutted files are rebuilt：r.005|", true},
        {"one of each", {1}, {6}, "\rThese cutted files are missing：r.001" + rebuilds,
         "Notice Parvix: These cutted files are rebuilt：r.001, r.006|"},
        {"one too many", {1, 3}, {4},
         "\rThese cutted files are missing：r.001, r.003" + rebuilds,
         "Warning Parvix: The cutted files cannot be rebuilt!\rThese cutted files are missing：r.001, r.003\rThese "
         "cutted files are damaged：r.004\r1 more recovery slice is needed\r{dest} is not written"},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = path("set" + std::to_string(++round));
        fs::create_directory(folder);
        const std::string base = folder + kSeparator + "r";
        SplitInputs inputs = customSize(makeFile("source" + std::to_string(round), original), base, "300");
        inputs.recoveryPieces = 2;
        ASSERT_EQ(cut(inputs).outcome, Outcome::Completed);
        for (const int n : c.removed)
            fs::remove(base + pieceSuffix(n));
        if (c.damagedRecovery) {
            const std::string volume = base + ".vol0+2.par2";
            std::string bytes = readFile(volume);
            bytes[bytes.size() - kPiece - 68 - 100] ^= 1;
            writeFile(volume, bytes);
        }
        for (const int n : c.damaged) {
            std::string bytes = readFile(base + pieceSuffix(n));
            bytes[bytes.size() - 100] = static_cast<char>(bytes[bytes.size() - 100] ^ 0x40);
            writeFile(base + pieceSuffix(n), bytes);
        }

        RecordingWindow joinWindow;
        const AddResult added = JoinListAdd(joinWindow, files).run(base + ".001", {});
        ASSERT_EQ(added.appended.size(), 6u) << "every piece the index names";
        const auto addBoxes = joinWindow.boxes();
        EXPECT_EQ(addBoxes, c.addNotice.empty()
                                ? std::vector<std::string>{}
                                : std::vector<std::string>{"box Notice Parvix: Please check the cutted files：" +
                                                           c.addNotice});
        const std::string destination = folder + kSeparator + "joined";
        const auto result = JoinOperation(joinWindow, files).run({destination, joinWindow.joinList});
        EXPECT_EQ(files.openFiles(), 0);

        auto boxes = joinWindow.boxes();
        boxes.erase(boxes.begin(), boxes.begin() + static_cast<std::ptrdiff_t>(addBoxes.size()) + 1);
        std::string shown;
        for (const auto& box : boxes)
            shown += box.substr(4) + "|";
        std::string expected = c.lastBoxes;
        if (const auto at = expected.find("{dest}"); at != std::string::npos)
            expected.replace(at, 6, destination);
        if (c.name == std::string("one too many")) {
            EXPECT_EQ(result.outcome, Outcome::Failed);
            EXPECT_EQ(shown, expected + "|");
            EXPECT_FALSE(fileExists(destination));
        } else {
            EXPECT_EQ(result.outcome, Outcome::Completed);
            EXPECT_EQ(shown, expected + joinCompletion(destination).substr(4) + "|");
            EXPECT_SAME_BYTES(readFile(destination), original);
        }
        EXPECT_TRUE(std::none_of(c.removed.begin(), c.removed.end(),
                                 [&](int n) { return fileExists(base + pieceSuffix(n)); }))
            << "a join rebuilds into the joined file only";
    }
}

#ifndef _WIN32
// While the join writes, what it writes is no more open to others than the file it replaces; a new file
// is its owner's alone until it is whole, and then has the permissions of any new file.
TEST_F(Join, TheJoinedBytesAreNeverMoreOpenThanTheFileTheyReplace)
{
    const mode_t mask = ::umask(022);
    const struct
    {
        const char* name;
        int existing; // -1: no file yet
        int whileWritten;
        int after;
    } cases[] = {
        {"a private file", 0600, 0600, 0600},
        {"a file all may read", 0644, 0644, 0644},
        {"a new file", -1, 0600, 0644},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string destination = path("secret.bin");
        fs::remove(destination);
        if (c.existing >= 0) {
            writeFile(destination, "old");
            ::chmod(destination.c_str(), static_cast<mode_t>(c.existing));
        }
        int seen = -1;
        files.onOpen = [&] {
            for (const auto& entry : fs::directory_iterator(dir.path())) {
                const std::string name = entry.path().filename().string();
                if (name.size() > 12 && name.compare(name.size() - 12, 12, ".parvix-part") == 0) {
                    struct stat st;
                    ::stat(entry.path().c_str(), &st);
                    seen = static_cast<int>(st.st_mode & 0777);
                }
            }
        };
        EXPECT_EQ(join(destination).outcome, Outcome::Completed);
        files.onOpen = nullptr;
        EXPECT_EQ(seen, c.whileWritten);
        struct stat st;
        ASSERT_EQ(::stat(destination.c_str(), &st), 0);
        EXPECT_EQ(static_cast<int>(st.st_mode & 0777), c.after);
    }
    ::umask(mask);
}
#endif

TEST_F(Join, AnEmptyPieceAddsNothing)
{
    const std::string empty = makeFile("empty.002", "");
    window.joinList = {pieces[0], empty, pieces[1], empty};
    const std::string destination = path("out.bin");

    EXPECT_EQ(join(destination).outcome, Outcome::Completed);

    EXPECT_EQ(window.requests(), completedJoin({joinConfirmation(destination)}, destination, 4));
    EXPECT_SAME_BYTES(readFile(destination), contents[0] + contents[1]);
}

TEST_F(Join, OnlyEmptyPiecesGiveAnEmptyDestination)
{
    const std::string empty = makeFile("empty.001", "");
    window.joinList = {empty};
    const std::string destination = makeFile("out.bin", "was longer");
    EXPECT_EQ(join(destination).outcome, Outcome::Completed);
    EXPECT_EQ(readFile(destination), "");
}

TEST_F(Join, SpacesAroundTheDestinationAreNotPartOfIt)
{
    const std::string destination = path("out.bin");

    EXPECT_EQ(join("   " + destination + "  ").outcome, Outcome::Completed);

    EXPECT_EQ(window.requests(), completedJoin({joinConfirmation(destination)}, destination, 3));
    EXPECT_EQ(readFile(destination), contents[0] + contents[1] + contents[2]);
    EXPECT_EQ(snapshotTree(dir.path()).count(" out.bin"), 0u);
}

// Every piece is looked at before a byte is written: a missing one, or a folder among them, leaves no
// partial file behind.
TEST_F(Join, APieceThatCannotBeReadStopsTheJoinBeforeAnythingIsWritten)
{
    fs::create_directory(path("folder.002"));
    const struct
    {
        const char* name;
        std::vector<std::string> list;
        std::string box;
    } cases[] = {
        {"deleted after listing",
         {pieces[0], path("gone.002"), pieces[2]},
         "box DiskError Tavrin: The file cann't to be written!"},
        {"a folder", {pieces[0], path("folder.002")}, "box DiskError Tavrin: Disk is protected or file is protected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.joinList = c.list;
        window.clearRequests();
        const std::string destination = path("out.bin");
        const auto before = snapshotTree(dir.path());

        const auto result = join(destination);

        EXPECT_EQ(result.outcome, Outcome::Failed);
        EXPECT_EQ(window.requests(),
                  (Requests{joinConfirmation(destination), c.box, "pointer Default", "value 0", "hide"}));
        EXPECT_EQ(snapshotTree(dir.path()), before);
        EXPECT_EQ(window.joinList, c.list);
    }
}

// Cut and join give the source back, for lengths around the piece boundaries.
TEST_F(Join, RoundTripsGiveTheSourceBack)
{
    fs::create_directory(path("pieces"));
    const struct
    {
        std::size_t length;
        const char* text3; // empty: the floppy size
        std::size_t pieces;
    } cases[] = {
        {1023, "1", 0}, {1024, "1", 1},   {1025, "1", 2},   {2047, "1", 2},   {2048, "1", 2},
        {2049, "1", 3}, {1447035, "", 1}, {1447036, "", 2}, {2894071, "", 3}, {5, "0.001", 5},
    };
    int round = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " bytes at \"" + c.text3 + "\"");
        ++round;
        const std::string name = "r" + std::to_string(round);
        const std::string bytes = patternBytes(c.length, static_cast<std::uint32_t>(round));
        const std::string source = makeFile(name + ".dat", bytes);
        const std::string base = joinPath(path("pieces"), name + "$dat");
        const auto result = cut(*c.text3 ? customSize(source, base, c.text3) : floppy(source, base));
        if (c.pieces == 0) {
            EXPECT_EQ(result.outcome, Outcome::Stopped);
            continue;
        }
        ASSERT_EQ(result.outcome, Outcome::Completed);
        EXPECT_EQ(window.joinList.size(), c.pieces);
        EXPECT_EQ(window.text4, joinPath(path("pieces"), name + ".dat"));
        ASSERT_EQ(join(window.text4).outcome, Outcome::Completed);
        EXPECT_SAME_BYTES(readFile(window.text4), bytes);
    }
}

#ifndef _WIN32
// GNU cat is the reference: the joined file equals `cat` of the same list.
TEST_F(Join, TheResultMatchesGnuCat)
{
    const std::string empty = makeFile("empty.bin", "");
    window.joinList = {pieces[2], pieces[0], empty, pieces[1], pieces[0]};
    const std::string destination = path("ours.bin");
    ASSERT_EQ(join(destination).outcome, Outcome::Completed);
    std::string command = "cat";
    for (const auto& entry : window.joinList)
        command += " '" + entry + "'";
    command += " > '" + path("theirs.bin") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_SAME_BYTES(readFile(destination), readFile(path("theirs.bin")));
}
#endif

} // namespace
} // namespace parvix::test
