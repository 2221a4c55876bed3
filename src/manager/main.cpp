// krv, the Dashwright Manager.

#include "configuration.h"
#include "programstart.h"

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    const ProgramIdentity identity{u"krv"_s, u"Dashwright Manager"_s,
                                   u"Dashwright Manager: the desktop companion of the Dashwright keyer."_s, u"krt"_s,
                                   true};
    return runKeyerProgram(argc, argv, identity,
                           [](SettingsStore &settings, KeyerPort &port, const ProgramOptions &options,
                              std::function<bool()> handOver) {
                               auto window = std::make_unique<Configuration>(&settings, &port, options);
                               window->setPortTable(PortTable::discover(QStringList{options.port, options.radioPort}));
                               window->setHandOver(std::move(handOver));
                               return std::unique_ptr<QWidget>(std::move(window));
                           });
}
