#pragma once

#include "ScratchDatabase.h"

#include <string>

// Makes the scratch database refuse a Players row with the colour-free name
// Boom, with the description "Boom is refused": a failing insert on demand,
// the way an engine refuses a row.
inline void RefuseBoom(ScratchDatabase& scratch, TestEngine engine) {
    if (engine == TestEngine::Sqlite) {
        scratch.Execute(R"(CREATE TRIGGER refuse_boom BEFORE INSERT ON "Players" )"
                        R"(WHEN NEW."Player_Name_formated" = 'Boom' )"
                        R"(BEGIN SELECT RAISE(ABORT, 'Boom is refused'); END)");
        return;
    }
    scratch.Execute(R"(CREATE FUNCTION refuse_boom() RETURNS trigger AS $$ BEGIN )"
                    R"(IF NEW."Player_Name_formated" = 'Boom' THEN )"
                    R"(RAISE EXCEPTION 'Boom is refused'; END IF; RETURN NEW; END $$ )"
                    R"(LANGUAGE plpgsql)");
    scratch.Execute(R"(CREATE TRIGGER refuse_boom BEFORE INSERT ON "Players" )"
                    R"(FOR EACH ROW EXECUTE FUNCTION refuse_boom())");
}
