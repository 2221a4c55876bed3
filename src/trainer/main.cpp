// krt, the Dashtutor trainer.

#include "programstart.h"
#include "trainerwindow.h"

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    ProgramIdentity identity{u"krt"_s, u"Dashtutor"_s, u"Dashtutor: the trainer for the Dashwright keyer."_s,
                             u"krv"_s};
    // --demo: the simulated keyer plays the trainer's keyer.
    identity.demoKeyerArguments = {u"--letter"_s, u"T"_s};
    return runKeyerProgram(argc, argv, identity,
                           [](SettingsStore &settings, KeyerPort &port, const ProgramOptions &options,
                              std::function<bool()> handOver) {
                               auto window = std::make_unique<TrainerWindow>(&settings, &port);
                               window->setPortTable(PortTable::discover(options.port));
                               window->setHandOver(std::move(handOver));
                               return std::unique_ptr<QWidget>(std::move(window));
                           });
}
