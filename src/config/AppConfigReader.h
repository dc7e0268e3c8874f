#pragma once

#include "AppConfig.h"
#include "ConfigReader.h"

// Reads quarvel.cfg into an AppConfig: "[server]" starts a block at the
// front of the server list, "[database]" the database's; a key belongs to
// the block before it.
class AppConfigReader : public ConfigReader {
public:
    explicit AppConfigReader(AppConfig& config) : config_(config) {}

protected:
    int OnSection(const std::string& name) override;
    int OnKeyValue(const std::string& key, const std::string& value) override;

private:
    enum class Section { None, Server, Database };

    AppConfig& config_;
    Section section_ = Section::None;
};
