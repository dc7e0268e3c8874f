#pragma once

#include "AppConfig.h"
#include "ConfigReader.h"

// Reads quarvel.cfg into an AppConfig: "[server]" starts a block at the
// front of the server list, "[database]" the database's; a key belongs to
// the block before it. A refused line (ConfigValues.h, or a line over the
// reader's limit) is kept in the configuration's refusals; it leaves its
// server out of the list, or leaves no database. Finish after the last line.
class AppConfigReader : public ConfigReader {
public:
    explicit AppConfigReader(AppConfig& config) : config_(config) {}

    // Ends the block being read: a server with a refused line leaves the
    // list; a refused database value leaves no database.
    void Finish();

protected:
    int OnSection(const std::string& name) override;
    int OnKeyValue(const std::string& key, const std::string& value) override;
    int OnOverlongLine() override;

private:
    enum class Section { None, Server, Database };

    void EndServerBlock();
    int Refuse(const std::string& why);
    int TakeServerValue(ServerEntry& server, const std::string& key, const std::string& value);

    AppConfig& config_;
    Section section_ = Section::None;
    bool serverRefused_ = false;   // the block being read has a refused line
    bool databaseRefused_ = false; // a database value was refused
};
