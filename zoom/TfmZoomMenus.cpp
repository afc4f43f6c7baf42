// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom window's popup menus and their commands (the size commands: TfmZoomSizes.cpp).
#include "ProgramExit.h"
#include "TfmZoom.h"
#include "ZoomState.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QUrl>

namespace {

QAction *addRadioItem(QMenu *menu, QActionGroup *group, const char *name, const QString &caption)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(true);
    group->addAction(item);
    return item;
}

// The menu caption of the maker's web site: its host name without "www.".
QString webSiteName()
{
    QString host = QUrl(QStringLiteral(TF_WEB_ADDRESS)).host();
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    return host;
}

}   // namespace

void TfmZoom::buildMenus()
{
    pmMenue = new QMenu(this);
    pmMenue->setObjectName(QStringLiteral("pmMenue"));
    Anzeige1 = pmMenue->addMenu(QStringLiteral("Anzeige"));
    Anzeige1->setObjectName(QStringLiteral("Anzeige1"));
    Anzeige1->menuAction()->setObjectName(QStringLiteral("Anzeige1Item"));
    m_sizeGroupMenue = new QActionGroup(this);
    klein1 = addRadioItem(Anzeige1, m_sizeGroupMenue, "klein1", QStringLiteral("klein"));
    mittel1 = addRadioItem(Anzeige1, m_sizeGroupMenue, "mittel1", QStringLiteral("mittel"));
    gross1 = addRadioItem(Anzeige1, m_sizeGroupMenue, "gross1", QStringLiteral("groß"));
    Anzeige1->addSeparator()->setObjectName(QStringLiteral("N3"));
    m_presentationGroup = new QActionGroup(this);
    Original1 = addRadioItem(Anzeige1, m_presentationGroup, "Original1", QStringLiteral("Original"));
    Scharf1 = addRadioItem(Anzeige1, m_presentationGroup, "Scharf1", QStringLiteral("Scharf"));
    Vollbild1 = pmMenue->addAction(QStringLiteral("Vollbild"));
    Vollbild1->setObjectName(QStringLiteral("Vollbild1"));
    Vollbild1->setCheckable(true);
    Vollbild1->setShortcut(QKeySequence(Qt::Key_F11));
    Vollbild1->setShortcutContext(Qt::ApplicationShortcut);
    Video1 = pmMenue->addAction(QStringLiteral("Als Video speichern…"));
    Video1->setObjectName(QStringLiteral("Video1"));
    pmMenue->addSeparator()->setObjectName(QStringLiteral("N2"));
    Info1 = pmMenue->addAction(QStringLiteral("Info..."));
    Info1->setObjectName(QStringLiteral("Info1"));
    webheim1 = pmMenue->addAction(webSiteName());
    webheim1->setObjectName(QStringLiteral("webheim1"));
    pmMenue->addSeparator()->setObjectName(QStringLiteral("N1"));
    Close1 = pmMenue->addAction(QStringLiteral("Schließen"));
    Close1->setObjectName(QStringLiteral("Close1"));
    Close1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    Close1->setShortcutContext(Qt::ApplicationShortcut);

    pmAnzeige = new QMenu(this);
    pmAnzeige->setObjectName(QStringLiteral("pmAnzeige"));
    m_sizeGroupAnzeige = new QActionGroup(this);
    klein2 = addRadioItem(pmAnzeige, m_sizeGroupAnzeige, "klein2", QStringLiteral("klein"));
    mittel2 = addRadioItem(pmAnzeige, m_sizeGroupAnzeige, "mittel2", QStringLiteral("mittel"));
    gross2 = addRadioItem(pmAnzeige, m_sizeGroupAnzeige, "gross2", QStringLiteral("groß"));

    pmRepead = new QMenu(this);
    pmRepead->setObjectName(QStringLiteral("pmRepead"));
    m_repeatGroup = new QActionGroup(this);
    Aus1 = addRadioItem(pmRepead, m_repeatGroup, "Aus1", QStringLiteral("Aus"));
    Ein1 = addRadioItem(pmRepead, m_repeatGroup, "Ein1", QStringLiteral("Ein"));
    beideRichtungen1 =
        addRadioItem(pmRepead, m_repeatGroup, "beideRichtungen1", QStringLiteral("beide Richtungen"));

    mittel1->setChecked(true);
    mittel2->setChecked(true);
    Aus1->setChecked(true);
    Original1->setChecked(true);
}

void TfmZoom::Info1Click()
{
    openInfoPanel();
}

void TfmZoom::Close1Click()
{
    exitProgram();
}

void TfmZoom::Aus1Click()
{
    Aus1->setChecked(true);
    ZoomState.repeatMode = QStringLiteral("OFF");
}

void TfmZoom::Ein1Click()
{
    Ein1->setChecked(true);
    ZoomState.repeatMode = QStringLiteral("ON");
}

void TfmZoom::beideRichtungen1Click()
{
    beideRichtungen1->setChecked(true);
    ZoomState.repeatMode = QStringLiteral("BIDI");
}

void TfmZoom::Original1Click()
{
    setPresentation(false);
}

void TfmZoom::Scharf1Click()
{
    setPresentation(true);
}

void TfmZoom::Vollbild1Click()
{
    setFullScreenView(!m_fullScreen);
}

void TfmZoom::popUpContextMenu(const QPoint &globalPos)
{
    pmMenue->popup(globalPos);
}

void TfmZoom::popUpSizeMenu(const QPoint &globalPos)
{
    pmAnzeige->popup(globalPos);
}

void TfmZoom::popUpRepeatMenu(const QPoint &globalPos)
{
    pmRepead->popup(globalPos);
}
