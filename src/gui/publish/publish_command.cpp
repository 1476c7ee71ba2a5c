#include "gui/publish/publish_command.h"

#include <QDir>
#include <QFile>

#include "core/pool/pool_host.h"
#include "core/publish/site_pages.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/prompts.h"

void publishInteractive(PoolSession& session, Frame& frame)
{
    SettingsFile store(session.settings());
    FolderRequest request;
    request.title = QStringLiteral("Publish");
    request.directory = fromMessage(store.readString(settings::Other, settings::PublishFolder, {}));
    if (request.directory.isEmpty() || !QDir(request.directory).exists())
        request.directory = QString::fromStdString(session.dataDir());
    if (!prompts().chooseFolder(request)) return;
    const QString folder = QDir::toNativeSeparators(request.directory);
    QString done;
    try {
        store.writeString(settings::Other, settings::PublishFolder, request.directory.toStdString());
        BusyCursor busy;
        frame.setStatusText(QStringLiteral("Publishing the pool to %1...").arg(folder));
        // The site scores and sorts a copy of the list, so the open windows keep their order.
        NullPoolHost quiet;
        PoolSession copy(quiet, session.dataDir(), session.settings());
        copy.teams() = session.teams();
        for (int i = 0; i < session.players().count(); ++i) copy.players().add(session.players()[i]);
        PublishOptions options;
        options.asOf = asOfText(session.today()) + " " + timeOfDayText();
        options.places = store.readInteger(settings::Other, settings::OutlookPlaces, settings::DefaultOutlookPlaces);
        const PublishSummary summary = publishPool(copy, QFile::encodeName(request.directory).toStdString(), options);
        done = fromMessage(publishedText(folder.toStdString(), summary));
    } catch (const std::exception& error) {
        frame.setStatusText(QString());
        reportError(error);
        return;
    }
    frame.setStatusText(done);
    showInformation(done);
}
