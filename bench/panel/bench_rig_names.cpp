// Prints how many of this Hamlib's radio models have a name that does not fit the panel's rig labels (Rig1 and
// Rig2, measured on the panel itself: their width and their font, "Verdana" 8 pt or fontconfig's stand-in
// for it), as the rig type used to name them ("Kenwood TS-590S") and as it names them now ("TS-590S"), and the
// widest of those that still do not fit.
//
//   bench_rig_names [WIDEST]
#include "FakeOmniRig.h"
#include "omnirig/TOmniRigX.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/VE2Z.h"
#include "rigserver/backends/HamlibModels.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Label {
    const char *name;
    int width = 0;
    int before = 0; // names too wide for it as "maker model"
    int after = 0;  // ... as the model alone
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int widest = argc > 1 ? std::max(0, std::atoi(argv[1])) : 15;

    InstanceMarker::setDefaultName(
        (QStringLiteral("VELKOR-bench-%1").arg(QCoreApplication::applicationPid())).toStdString());
    TOmniRigX::setDefaultFactory(std::make_shared<FakeOmniRigFactory>());
    MessageBoxes::setNoteHandler([](QWidget *, const MessageBoxes::Request &) {});
    const QTemporaryDir folder;
    TSO2VPanel panel({QStringLiteral("velkor"), QStringLiteral("-F"), folder.filePath(QStringLiteral("VELKOR.INI"))});
    const QFont font = panel.findChild<QLabel *>(QStringLiteral("Rig1"))->font();
    const QFontMetrics metrics(font);
    std::vector<Label> labels{{"Rig1"}, {"Rig2"}};
    for (Label &label : labels)
        label.width = panel.findChild<QLabel *>(QLatin1String(label.name))->contentsRect().width();
    const int narrowest = std::min(labels[0].width, labels[1].width);

    std::vector<std::pair<int, QString>> tooWide;
    const std::vector<RigModel> &models = HamlibModels::models();
    for (const RigModel &model : models) {
        const QString before =
            QString::fromStdString(model.manufacturer + (model.name.empty() ? "" : " " + model.name));
        const QString after = QString::fromStdString(HamlibModels::shortName(model.model));
        for (Label &label : labels) {
            label.before += metrics.horizontalAdvance(before) > label.width ? 1 : 0;
            label.after += metrics.horizontalAdvance(after) > label.width ? 1 : 0;
        }
        if (metrics.horizontalAdvance(after) > narrowest)
            tooWide.emplace_back(metrics.horizontalAdvance(after), after);
    }

    std::printf("%zu Hamlib models; label font \"%s\" %d pt, shown as \"%s\"\n", models.size(),
                qPrintable(font.family()), font.pointSize(), qPrintable(QFontInfo(font).family()));
    for (const Label &label : labels)
        std::printf("%s (%d px): names that do not fit  as \"maker model\" %4d   as the model alone %4d\n", label.name,
                    label.width, label.before, label.after);
    std::sort(tooWide.begin(), tooWide.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::printf("the widest that still do not fit Rig2:");
    for (std::size_t i = 0; i < tooWide.size() && int(i) < widest; ++i)
        std::printf("%s \"%s\" %d px", i ? "," : "", qPrintable(tooWide[i].second), tooWide[i].first);
    std::printf("\n");
    return 0;
}
