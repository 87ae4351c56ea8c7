// Builds a deterministic test tree for the search benchmarks:
//   make_tree DIR [--files N] [--folders M] [--seed S]
// N empty files in M folders up to depth 8; names of 5 to 30 characters with
// blanks and non-ASCII letters; some dot-files and dot-folders; a few folder
// symbolic links, one of them a loop; modification and access times spread
// evenly over 2015-01-01 to 2026-12-01 UTC, odd seconds only (never exactly
// on a midnight).

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <climits>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kMaxDepth = 8;
constexpr long long kFirstTime = 1420070400;  // 2015-01-01 00:00:00 UTC
constexpr long long kLastTime = 1796083200;   // 2026-12-01 00:00:00 UTC
constexpr int kSymlinks = 5;

const std::vector<std::string> kLetters = {
    "a", "b", "c", "d", "e", "f", "g", "h", "i", "k", "l", "m", "n", "o", "p", "r", "s", "t", "u", "w",
    "A", "B", "K", "M", "S", "0", "1", "2", "7", "-", "_", "\xc3\xa9", "\xc3\xbc", "\xc3\xb8", "\xc3\x9f",
    "\xc5\x82", "\xd0\xb6", "\xce\xbb"};

struct Folder {
    std::string path;
    int depth;
};

std::string RandomName(std::mt19937_64& random, bool dotted)
{
    std::uniform_int_distribution<int> length(5, 30);
    std::uniform_int_distribution<size_t> letter(0, kLetters.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    const int size = length(random);
    std::string name = dotted ? "." : "";
    for (int i = static_cast<int>(name.size()); i < size; ++i) {
        const bool blank = i > 0 && i + 1 < size && name.back() != ' ' && percent(random) < 8;
        name += blank ? " " : kLetters[letter(random)];
    }
    return name;
}

long long RandomTime(std::mt19937_64& random)
{
    std::uniform_int_distribution<long long> time(kFirstTime, kLastTime - 2);
    return time(random) | 1;
}

void Fail(const std::string& what)
{
    std::fprintf(stderr, "make_tree: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}
}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_tree DIR [--files N] [--folders M] [--seed S]\n");
        return 2;
    }
    if (mkdir(argv[1], 0755) != 0 && errno != EEXIST)
        Fail(argv[1]);
    char* absolute = realpath(argv[1], nullptr);
    if (!absolute)
        Fail(argv[1]);
    const std::string root = absolute;
    std::free(absolute);
    long files = 300000, folders = 20000;
    unsigned long long seed = 1;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--files")
            files = std::atol(argv[i + 1]);
        else if (option == "--folders")
            folders = std::atol(argv[i + 1]);
        else if (option == "--seed")
            seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> percent(0, 99);

    std::vector<Folder> tree{{root, 0}};
    while (static_cast<long>(tree.size()) < folders) {
        std::uniform_int_distribution<size_t> pick(0, tree.size() - 1);
        const Folder parent = tree[pick(random)];
        if (parent.depth >= kMaxDepth)
            continue;
        const std::string path = parent.path + "/" + RandomName(random, percent(random) < 3);
        if (mkdir(path.c_str(), 0755) != 0) {
            if (errno == EEXIST)
                continue;
            Fail(path);
        }
        tree.push_back({path, parent.depth + 1});
    }

    for (long made = 0; made < files;) {
        std::uniform_int_distribution<size_t> pick(0, tree.size() - 1);
        const std::string path = tree[pick(random)].path + "/" + RandomName(random, percent(random) < 3);
        const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            Fail(path);
        }
        close(fd);
        const long long accessed = RandomTime(random), modified = RandomTime(random);
        const struct timespec times[2] = {{static_cast<time_t>(accessed), 0}, {static_cast<time_t>(modified), 0}};
        if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
            Fail(path);
        ++made;
    }

    // Folder links: one loops back to the root, the others point across the tree.
    for (int i = 0; i < kSymlinks && tree.size() > 1; ++i) {
        std::uniform_int_distribution<size_t> pick(1, tree.size() - 1);
        const std::string& from = tree[pick(random)].path;
        const std::string target = i == 0 ? root : tree[pick(random)].path;
        const std::string link = from + "/link " + std::to_string(i);
        if (symlink(target.c_str(), link.c_str()) != 0 && errno != EEXIST)
            Fail(link);
    }
    std::printf("%ld files in %zu folders under %s\n", files, tree.size(), root.c_str());
    return 0;
}
