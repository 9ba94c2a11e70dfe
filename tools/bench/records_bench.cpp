// What records cost and whether they hold: self-play with and without
// --record, alternated in rounds on the same seeds, and then every record
// written read back and replayed to its result. Prints the figures beside
// their floor (the same games unrecorded).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "engine/actions.h"

#include "records/game_record.h"
#include "records/record_replay.h"
#include "tools/selfplay/self_play.h"

namespace {

// Processor time, user and system: on a shared machine the wall clock
// measures the neighbours.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

double playSeconds(SelfPlayOptions options, const std::string& folder)
{
    options.recordFolder = folder;
    std::ostringstream quiet;
    const double start = cpuSeconds();
    const SelfPlayResult result = runSelfPlay(options, quiet);
    if (result.violations || !result.allFinished) std::cerr << quiet.str();
    return cpuSeconds() - start;
}

// The system calls a record needs and no more, for files of those sizes and
// tricks: created, the header and then one write a trick, the result put
// in place, closed.
double fileFloorSeconds(const std::vector<std::pair<size_t, long>>& shapes, const std::string& folder)
{
    std::filesystem::create_directories(folder);
    const std::string text(4096, 'x');
    const double start = cpuSeconds();
    long n = 0;
    for (const auto& [bytes, tricks] : shapes) {
        const std::string path = folder + "/" + std::to_string(++n);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd == -1) continue;
        const size_t piece = std::min<size_t>(text.size(), bytes / static_cast<size_t>(tricks + 1));
        for (long t = 0; t <= tricks; ++t)
            if (write(fd, text.data(), piece) < 0) break;
        if (pwrite(fd, text.data(), 16, 0) < 0) std::perror("pwrite");
        close(fd);
    }
    const double seconds = cpuSeconds() - start;
    std::filesystem::remove_all(folder);
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    // Usage: marvanto-records-bench [standard games, 10000] [expert games, 4]
    const int games = argc > 1 ? std::max(3, std::atoi(argv[1])) : 10000;
    const int expertGames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 4;
    char pattern[] = "/tmp/marvanto-records-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = pattern;

    constexpr int ROUNDS = 3;
    double plain = 0, recorded = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        SelfPlayOptions options;
        options.games = games / ROUNDS;
        options.seats = round == 1 ? 2 : 4;
        options.seed = 100 + round;
        if (round == 2) options.rules = rulesFromFields({2, 1, 1, 14, 3, 1, 1, 1});
        plain += playSeconds(options, "");
        recorded += playSeconds(options, folder);
    }
    // The standard players decide in microseconds, so their games show the
    // writing itself: a file created and one small write a trick.
    std::printf("selfplay standard games=%d unrecorded_cpu_s=%.3f recorded_cpu_s=%.3f ratio=%.3f\n",
                games / ROUNDS * ROUNDS, plain, recorded, plain > 0 ? recorded / plain : 0.0);
    // Games at a pace like a real one's: the Expert thinks before each move.
    SelfPlayOptions expert;
    expert.games = expertGames;
    expert.seed = 200;
    expert.playerA = PlayerKind::EXPERT;
    expert.expert.samples = 6;
    expert.expert.begSamples = 3;
    const double expertPlain = playSeconds(expert, "");
    const double expertRecorded = playSeconds(expert, folder);
    std::printf("selfplay expert games=%d unrecorded_cpu_s=%.3f recorded_cpu_s=%.3f ratio=%.3f (goal: at most 1.1)\n",
                expertGames, expertPlain, expertRecorded, expertPlain > 0 ? expertRecorded / expertPlain : 0.0);

    long records = 0, mismatches = 0, unfinished = 0;
    std::vector<std::pair<size_t, long>> shapes;  // each record's size and tricks
    const auto start = std::chrono::steady_clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++records;
        const std::string path = entry.path().string();
        RecordError error;
        const auto record = readGameRecordFile(path, error);
        if (record)
            shapes.emplace_back(entry.file_size(), std::count_if(record->actions.begin(), record->actions.end(), [](const RecordedAction& a) {
                                    return a.action.action == ACTION_PLAY;
                                }) / 4);
        bool ended = false;
        if (!record || !checkRecord(*record, error, &ended)) {
            if (++mismatches <= 10) std::cerr << describeRecordError(path, error) << '\n';
        } else if (!ended) {
            ++unfinished;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("replay records=%ld mismatches=%ld unfinished=%ld seconds=%.3f ms_per_record=%.3f\n", records, mismatches,
                unfinished, seconds, records ? 1000 * seconds / records : 0.0);
    std::filesystem::remove_all(folder);
    const double floor = fileFloorSeconds(shapes, folder);
    std::printf("file floor: %zu files created, one write a trick, cpu_s=%.3f (what the kernel alone takes of the "
                "recorded runs' extra time)\n",
                shapes.size(), floor);
    return mismatches == 0 && unfinished == 0 ? 0 : 1;
}
