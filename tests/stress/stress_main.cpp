// stress_driver EXE N [seed]: N rounds of "prepare a known state, make the program do file
// work, kill it at a random moment, start it again, close it, check nothing was lost".
//
// Kill moments: the first round of each operation (and every tenth after it) lets the whole
// operation run, records when the data directory changed during each step and kills just
// after; later rounds kill at a uniformly chosen moment inside those busy spans, and some
// just before and after them.
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <map>
#include <set>

#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "stress.h"

using namespace stress;

namespace {

constexpr double kPhaseTimeoutMs = 15000;
constexpr int kStartTimeoutMs = 10000;
// A start that shows box after box is not going to show its panel.
constexpr size_t kBoxFlood = 4;
constexpr int kCloseTimeoutMs = 20000;

// Busy spans of one step, in ms from its trigger.
using Spans = std::vector<std::pair<double, double>>;

struct Calibration {
    std::vector<Spans> spans;  // per phase
    int rounds = 0;            // rounds of this operation so far
};

struct KillPlan {
    bool kill = false;         // aimed at a step (a measuring run kills after the last one)
    size_t phase = 0;
    enum { Before, Inside, After } where = Inside;
    double at = 0;             // ms from the phase's trigger (Before: ms of waiting instead)
    bool recoveryKill = false; // also kill the restart that cleans up
    double recoveryAt = 0;     // ms from its start
};

Spans SpansFrom(const std::vector<double>& changes, double done) {
    Spans s;
    for (double c : changes) {
        if (!s.empty() && c - s.back().second <= 80) s.back().second = c;
        else s.push_back({c, c});
    }
    for (auto& [a, b] : s) {
        a = std::max(0.0, a - 15);
        b += 15;
    }
    if (s.empty() && done > 0) s.push_back({0, done});
    return s;
}

double SpanLength(const Spans& s) {
    double n = 0;
    for (auto& [a, b] : s) n += b - a;
    return n;
}

std::wstring Ms(double v) {
    wchar_t buf[32];
    swprintf(buf, 32, L"%.1f", v);
    return buf;
}

// The files a kill can leave in another state: the Private pair, the password pair and
// temporary files (the others are only read by these operations).
std::wstring StateNames(const std::vector<FileSeen>& files) {
    std::wstring s;
    for (const FileSeen& f : files)
        if (f.name.rfind(L"MyData_0", 0) == 0 || f.name.rfind(L"MyData_2", 0) == 0 || f.name.find(L".tmp") != std::wstring::npos)
            s += (s.empty() ? L"" : L" ") + f.name;
    return s.empty() ? L"(none)" : s;
}

// A fault without its particulars, for the tally.
std::wstring Kind(const std::wstring& fault) {
    if (fault.rfind(L"message box", 0) == 0) return fault;
    const std::wstring loss = L"LOSS: ";
    const bool isLoss = fault.rfind(loss, 0) == 0;
    std::wstring k = fault.substr(isLoss ? loss.size() : 0);
    k = k.substr(0, k.find_first_of(L":(\""));
    while (!k.empty() && k.back() == L' ') k.pop_back();
    return (isLoss ? loss : L"") + k;
}

class Driver {
public:
    Driver(Paths& paths, uint64_t seed) : paths_(paths), rng_(seed), program_(paths.exe, paths.name) {}

    bool RunRound(int n, int total);
    void Summary(int runs, int failed);

private:
    KillPlan Plan(const Operation& op, Calibration& cal);
    void PlanRecovery(KillPlan& p);
    // Waits for the panel while answering boxes; false when it never shows.
    bool WaitPanel(std::vector<std::wstring>& faults, const wchar_t* which);
    void Settle();
    // Starts the program, takes the operation's steps and kills it as planned (a measuring
    // run just after the last step); killText tells when.
    void FirstRun(Round& r, const Operation& op, Calibration& cal, bool calibrating, const KillPlan& plan,
                  std::vector<std::wstring>& faults, std::wstring& killText);
    void RecoveryRun(double at, std::vector<std::wstring>& faults, std::wstring& text);
    void CleanRun(std::vector<std::wstring>& faults);
    void CollectBoxes(std::vector<std::wstring>& faults);

    Paths& paths_;
    std::mt19937_64 rng_;
    Program program_;
    std::vector<Operation> ops_ = Operations();
    std::map<std::wstring, Calibration> calibration_;
    std::vector<double> restartBusy_;                // ms from start to the last change of restarts
    std::map<std::wstring, int> killStates_;         // file names at the kill -> rounds
    std::map<std::wstring, int> leftoverNames_;      // temporary files left after a clean close
    std::map<std::wstring, int> faultKinds_;         // kind of fault -> rounds
    int roundsWithLeftovers_ = 0;
    int boxesSeen_ = 0;
    bool converting_ = false;  // this round converts older data: its two boxes are expected
};

bool Driver::WaitPanel(std::vector<std::wstring>& faults, const wchar_t* which) {
    double until = Now() + kStartTimeoutMs;
    while (Now() < until && program_.boxes().size() < kBoxFlood) {
        program_.AnswerBoxes();
        if (program_.Panel()) return true;
        if (!program_.Running()) {
            faults.push_back(std::wstring(L"the ") + which + L" start ended without showing the panel");
            return false;
        }
        Pause(10);
    }
    faults.push_back(std::wstring(L"the panel of the ") + which + L" start did not show");
    return false;
}

void Driver::Settle() {
    // Let the step's follow-up (reading, layout) finish before the next step is posted.
    Pause(150);
    DWORD_PTR r = 0;
    if (program_.panel()) SendMessageTimeoutW(program_.panel(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &r);
}

void Driver::CollectBoxes(std::vector<std::wstring>& faults) {
    for (const BoxSeen& b : program_.boxes()) {
        ++boxesSeen_;
        if (converting_ && ConversionBox(b)) continue;
        if (ResealedBox(b)) continue;  // every round kills, which may leave Private plain
        faults.push_back(L"message box \"" + b.title + L"\": " + b.text);
    }
}

KillPlan Driver::Plan(const Operation& op, Calibration& cal) {
    KillPlan p;
    p.kill = true;
    std::vector<size_t> work;
    for (size_t k = 0; k < op.phases.size(); ++k)
        if (op.phases[k].fileWork) work.push_back(k);
    p.phase = work[std::uniform_int_distribution<size_t>(0, work.size() - 1)(rng_)];
    const Spans& s = cal.spans[p.phase];
    double u = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (u < 0.1 || s.empty()) {
        p.where = KillPlan::Before;
        p.at = std::uniform_real_distribution<double>(0, 30)(rng_);
    } else if (u > 0.9) {
        p.where = KillPlan::After;
        p.at = s.back().second + std::uniform_real_distribution<double>(0, 150)(rng_);
    } else {
        double x = std::uniform_real_distribution<double>(0, SpanLength(s))(rng_);
        for (auto& [a, b] : s) {
            if (x <= b - a) {
                p.at = a + x;
                break;
            }
            x -= b - a;
        }
    }
    // Now and then the start that cleans up after the kill is killed as well.
    if (std::uniform_int_distribution<int>(0, 4)(rng_) == 0) PlanRecovery(p);
    return p;
}

void Driver::PlanRecovery(KillPlan& p) {
    p.recoveryKill = true;
    double busy = 1500;
    if (!restartBusy_.empty()) {
        std::vector<double> v = restartBusy_;
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        busy = v[v.size() / 2];
    }
    p.recoveryAt = std::uniform_real_distribution<double>(0, busy + 50)(rng_);
}

void Driver::FirstRun(Round& r, const Operation& op, Calibration& cal, bool calibrating, const KillPlan& plan,
                      std::vector<std::wstring>& faults, std::wstring& killText) {
    if (!program_.Start()) {
        faults.push_back(L"the program did not start");
        return;
    }
    // Older data is converted by the start itself, the operation's first phase.
    if (!op.older && !WaitPanel(faults, L"first")) return;
    Settle();
    if (calibrating) cal.spans.assign(op.phases.size(), {});

    for (size_t k = 0; k < op.phases.size(); ++k) {
        const Phase& ph = op.phases[k];
        const bool killHere = plan.kill && plan.phase == k;
        if (killHere && plan.where == KillPlan::Before) {
            Pause(static_cast<int>(plan.at));
            program_.Kill();
            killText = L"kill before \"" + std::wstring(ph.name) + L"\" (" + Ms(plan.at) + L" ms idle)";
            return;
        }
        std::vector<FileSeen> last = ListFolder(paths_.dataDir);
        std::vector<double> changes;
        double done = -1;
        const double t0 = Now();
        if (!ph.trigger(r)) {
            faults.push_back(L"step \"" + std::wstring(ph.name) + L"\" could not be taken");
            return;
        }
        double nextBoxes = 0;
        for (;;) {
            const double t = Now() - t0;
            if (killHere && t >= plan.at) {
                program_.Kill();
                killText = L"kill in \"" + std::wstring(ph.name) + L"\" at " + Ms(t) + L" ms (aimed " +
                           Ms(plan.at) + L", " + (plan.where == KillPlan::After ? L"after" : L"inside") + L")";
                return;
            }
            if (calibrating && ph.fileWork) {
                std::vector<FileSeen> now = ListFolder(paths_.dataDir);
                if (now != last) {
                    changes.push_back(t);
                    last = std::move(now);
                }
            }
            if (done < 0 && ph.done(r)) {
                done = t;
                if (!killHere) break;
            }
            if (t > kPhaseTimeoutMs) {
                if (done < 0) {
                    faults.push_back(L"step \"" + std::wstring(ph.name) + L"\" did not finish within " +
                                     Ms(kPhaseTimeoutMs) + L" ms; files: " + Describe(ListFolder(paths_.dataDir)));
                    return;
                }
                break;
            }
            if (t >= nextBoxes) {
                program_.AnswerBoxes();
                nextBoxes = t + 25;
            }
            Pause(1);
        }
        if (calibrating) cal.spans[k] = ph.fileWork ? SpansFrom(changes, done) : Spans{};
        if (k + 1 < op.phases.size()) Settle();
    }
    // A measuring run ends with a kill just after the whole operation.
    const double wait = std::uniform_real_distribution<double>(0, 150)(rng_);
    Pause(static_cast<int>(wait));
    killText = L"kill " + Ms(wait) + L" ms after the operation (measured:";
    for (size_t k = 0; k < op.phases.size(); ++k) {
        if (!op.phases[k].fileWork || !calibrating) continue;
        const Spans& s = cal.spans[k];
        killText += L" \"" + std::wstring(op.phases[k].name) + L"\" busy " + Ms(SpanLength(s)) + L" ms in " +
                    std::to_wstring(s.size()) + L" spans up to " + (s.empty() ? L"-" : Ms(s.back().second)) + L" ms";
    }
    killText += L")";
    program_.Kill();
}

void Driver::RecoveryRun(double at, std::vector<std::wstring>& faults, std::wstring& text) {
    if (!program_.Start()) {
        faults.push_back(L"the program did not start again");
        return;
    }
    while (Now() - program_.startedAt() < at && program_.Running()) Pause(1);
    program_.Kill();
    text = L"; start-up killed at " + Ms(at) + L" ms";
    program_.Close();
}

void Driver::CleanRun(std::vector<std::wstring>& faults) {
    if (!program_.Start()) {
        faults.push_back(L"the program did not start again");
        return;
    }
    // The start-up's own clean-up is recorded, so recovery kills can aim at it.
    std::vector<FileSeen> last = ListFolder(paths_.dataDir);
    double lastChange = -1;
    double until = Now() + kStartTimeoutMs;
    bool shown = false;
    while (Now() < until && program_.Running() && program_.boxes().size() < kBoxFlood) {
        std::vector<FileSeen> now = ListFolder(paths_.dataDir);
        if (now != last) {
            lastChange = Now() - program_.startedAt();
            last = std::move(now);
        }
        program_.AnswerBoxes();
        if (program_.Panel()) {
            shown = true;
            break;
        }
        Pause(2);
    }
    if (!shown) {
        faults.push_back(program_.boxes().size() >= kBoxFlood
                             ? L"the clean start showed box after box and no panel"
                             : L"the panel of the clean start did not show");
        program_.Kill();
        return;
    }
    if (lastChange > 0) restartBusy_.push_back(lastChange);
    // Once the panel shows, the program removes an interrupted run's temporary files; the
    // close waits for that rather than for a fixed time.
    auto temporaries = [&] {
        for (const FileSeen& f : ListFolder(paths_.dataDir))
            if (EndsWithNoCase(f.name, L".tmp")) return true;
        return false;
    };
    until = Now() + kCloseTimeoutMs;
    while (Now() < until && program_.Running() && temporaries()) {
        program_.AnswerBoxes();
        Pause(10);
    }
    program_.AnswerBoxes();
    PostMessageW(program_.panel(), WM_CLOSE, 0, 0);
    until = Now() + kCloseTimeoutMs;
    while (Now() < until && program_.Running()) {
        program_.AnswerBoxes();
        Pause(10);
    }
    if (program_.Running()) {
        faults.push_back(L"the clean close did not end the program");
        program_.Kill();
    }
}

bool Driver::RunRound(int n, int total) {
    const double roundStart = Now();
    // Half the rounds take an operation already measured, so that short runs kill inside
    // file work too; the others take any operation, measuring it on first use.
    std::vector<size_t> measured;
    for (size_t i = 0; i < ops_.size(); ++i)
        if (calibration_[ops_[i].name].spans.size() == ops_[i].phases.size()) measured.push_back(i);
    const bool known = !measured.empty() && std::uniform_int_distribution<int>(0, 1)(rng_) == 0;
    const Operation& op = ops_[known ? measured[std::uniform_int_distribution<size_t>(0, measured.size() - 1)(rng_)]
                                     : std::uniform_int_distribution<size_t>(0, ops_.size() - 1)(rng_)];
    Calibration& cal = calibration_[op.name];
    const bool calibrating = cal.rounds % 10 == 0 || cal.spans.size() != op.phases.size();
    ++cal.rounds;

    std::wstring oldPassword = op.storedPassword ? RandomPassword(rng_) : L"";
    KnownState state = MakeKnownState(rng_, oldPassword, op.passMode, op.older);
    std::wstring newPassword;
    if (op.newPassword && std::wstring(op.name) != L"switchoff-verify")
        do newPassword = RandomPassword(rng_); while (newPassword == oldPassword);
    std::vector<std::wstring> passwords = {oldPassword};
    if (op.newPassword) passwords.push_back(newPassword);

    KillPlan plan = calibrating ? KillPlan{} : Plan(op, cal);
    if (calibrating && std::uniform_int_distribution<int>(0, 4)(rng_) == 0) PlanRecovery(plan);
    std::vector<std::wstring> faults;
    std::wstring what;
    std::wstring prepareWhy;
    converting_ = op.older;
    if (!PrepareState(paths_, state, &prepareWhy)) {
        faults.push_back(L"the known state could not be written: " + prepareWhy);
    } else {
        Round r{paths_, program_, state, newPassword};
        FirstRun(r, op, cal, calibrating, plan, faults, what);
        CollectBoxes(faults);
        if (!what.empty()) killStates_[std::wstring(op.name) + L": " + StateNames(ListFolder(paths_.dataDir))]++;
        program_.Close();
        if (plan.recoveryKill && faults.empty()) {
            std::wstring text;
            RecoveryRun(plan.recoveryAt, faults, text);
            CollectBoxes(faults);
            what += text;
        }
        program_.Close();
        CleanRun(faults);
        CollectBoxes(faults);
        program_.Close();
    }

    Verdict v = Check(paths_, state, passwords);
    faults.insert(faults.end(), v.faults.begin(), v.faults.end());
    if (!v.leftovers.empty()) {
        ++roundsWithLeftovers_;
        for (const std::wstring& l : v.leftovers) leftoverNames_[l.substr(0, l.find(L' '))]++;
    }
    std::wstring line = L"round " + std::to_wstring(n) + L"/" + std::to_wstring(total) + L" " + op.name + L": " +
                        what + L": " + (faults.empty() ? L"ok" : L"LOSS") + L" [" +
                        Ms((Now() - roundStart) / 1000) + L" s]";
    if (!v.leftovers.empty()) {
        line += L" (left over:";
        for (const std::wstring& l : v.leftovers) line += L" " + l;
        line += L")";
    }
    Out(line);
    std::set<std::wstring> kinds;
    for (const std::wstring& f : faults) kinds.insert(Kind(f));
    for (const std::wstring& k : kinds) faultKinds_[k]++;
    if (!faults.empty()) {
        std::wstring report = line + L"\r\n";
        for (const std::wstring& f : faults) {
            Out(L"    " + f);
            report += L"    " + f + L"\r\n";
        }
        Out(L"    files: " + v.listing);
        report += L"    files: " + v.listing + L"\r\n";
        Out(L"    password set before: " + (oldPassword.empty() ? L"(none)" : oldPassword) +
            (op.newPassword ? L", typed: " + (newPassword.empty() ? L"(none)" : newPassword) : L""));
        KeepEvidence(paths_, n, report);
    }
    return faults.empty();
}

void Driver::Summary(int runs, int failed) {
    Out(L"file states the kills left (operation: Private and password files at the kill -> rounds): " + std::to_wstring(killStates_.size()));
    for (const auto& [state, count] : killStates_) Out(L"    " + state + L" -> " + std::to_wstring(count));
    Out(L"rounds with temporary files left after a clean close: " + std::to_wstring(roundsWithLeftovers_));
    for (const auto& [name, count] : leftoverNames_) Out(L"    " + name + L" -> " + std::to_wstring(count));
    Out(L"message boxes seen: " + std::to_wstring(boxesSeen_));
    Out(L"faults (kind -> rounds):" + std::wstring(faultKinds_.empty() ? L" none" : L""));
    for (const auto& [kind, count] : faultKinds_) Out(L"    " + kind + L" -> " + std::to_wstring(count));
    Out(L"runs: " + std::to_wstring(runs) + L", losses: " + std::to_wstring(failed));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        Out(L"usage: stress_driver EXE N [seed]");
        return 2;
    }
    std::wstring exe = argv[1];
    for (wchar_t& c : exe)
        if (c == L'/') c = L'\\';
    wchar_t full[MAX_PATH];
    if (GetFullPathNameW(exe.c_str(), MAX_PATH, full, nullptr)) exe = full;
    const int rounds = _wtoi(argv[2]);
    const uint64_t seed = argc > 3 ? _wcstoui64(argv[3], nullptr, 10) : GetTickCount64() ^ GetCurrentProcessId();
    if (!Exists(exe) || rounds < 1) {
        Out(L"no program at " + exe + L" or no rounds");
        return 2;
    }

    Paths paths;
    paths.exe = exe;
    std::wstring file = exe.substr(exe.find_last_of(L'\\') + 1);
    paths.name = file.substr(0, file.find_last_of(L'.'));
    paths.dataDir = DataDirPath(DataRootPath(), paths.name);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    paths.scratch = std::wstring(temp) + L"hariko-stress-" + std::to_wstring(GetCurrentProcessId());
    // The log and the evidence stay in the build folder, wherever the driver is run from.
    std::wstring here(MAX_PATH, L'\0');
    here.resize(GetModuleFileNameW(nullptr, here.data(), MAX_PATH));
    here = here.substr(0, here.find_last_of(L'\\'));
    paths.evidence = here + L"\\stress-evidence\\seed-" + std::to_wstring(seed);
    // The same lines go to stress.log, to follow a long run while Wine holds the output back.
    SetLog(here + L"\\stress.log");

    // A cipher error in the driver's own checks is a finding, not a box nobody answers.
    FileCipher::ShowError = [](const std::wstring& text) { Out(L"    driver's cipher: " + text); };

    Out(L"stress: " + exe + L", " + std::to_wstring(rounds) + L" rounds, seed " + std::to_wstring(seed));
    Out(L"data directory: " + paths.dataDir);
    Driver driver(paths, seed);
    int failed = 0;
    for (int n = 1; n <= rounds; ++n)
        if (!driver.RunRound(n, rounds)) ++failed;
    driver.Summary(rounds, failed);
    RemoveState(paths);
    Out(std::to_wstring(rounds - failed) + L" passed, " + std::to_wstring(failed) + L" failed");
    return failed == 0 ? 0 : 1;
}
