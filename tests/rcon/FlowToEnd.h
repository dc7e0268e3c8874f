#pragma once

#include "BanFlow.h"
#include "RconClient.h"

#include <QEventLoop>
#include <QTimer>
#include <forward_list>
#include <string_view>
#include <vector>

// Runs a ban or unban over a client of its own to its end in the test's
// event loop (30 s at most, so a test never hangs), and gives its results.
inline std::vector<ServerResult> RunFlowToEnd(BanAction action,
                                              const std::forward_list<ServerEntry>& servers,
                                              const BanTarget& target, BanReasonSource* reasons,
                                              MessageSink& messages,
                                              ServerOutcomeRecorder* recorder = nullptr) {
    RconClient client;
    BanRun run(action, client, servers, target, reasons, messages, recorder);
    QEventLoop loop;
    QObject::connect(&run, &BanRun::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    run.Start();
    loop.exec();
    return run.results();
}

inline std::vector<ServerResult> BanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                                  const BanTarget& target, BanReasonSource& reasons,
                                                  MessageSink& messages,
                                                  ServerOutcomeRecorder* recorder = nullptr) {
    return RunFlowToEnd(BanAction::Ban, servers, target, &reasons, messages, recorder);
}

inline std::vector<ServerResult> UnbanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                                    const BanTarget& target, MessageSink& messages,
                                                    ServerOutcomeRecorder* recorder = nullptr) {
    return RunFlowToEnd(BanAction::Unban, servers, target, nullptr, messages, recorder);
}

inline std::vector<ServerResult> UnbanOnEveryServer(const std::forward_list<ServerEntry>& servers,
                                                    std::string_view guid, MessageSink& messages,
                                                    ServerOutcomeRecorder* recorder = nullptr) {
    return UnbanOnEveryServer(servers, BanTarget{std::string(guid), {}, {}}, messages, recorder);
}
