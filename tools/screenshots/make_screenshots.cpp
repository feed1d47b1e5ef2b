// Takes the README's screenshots offscreen: make_screenshots FOLDER writes the main window with
// an overview and with a program chain, the hex editor, the two attribute dialogs, and the report
// of "Get VTS sectors" on a copy of the sample disc, its question about a folder that does not
// fit its IFO files, the options and strip dialogs of VOB Extras, and the disc image dialog and
// the builder window after a build.
#include <QScrollBar>
#include <QThread>

#include "core/bytes.h"
#include "core/ifo_stream_usage.h"
#include "image/image_programs.h"
#include "session/browser_session.h"
#include "ui/builder_window.h"
#include "ui/disc_image_command.h"
#include "ui/disc_image_dlg.h"
#include "ui/extras_dialog.h"
#include "ui/hex_edit_ctrl.h"
#include "ui/hex_edit_dlg.h"
#include "ui/strip_dialog.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"
#include "ui_test_support.h"

namespace {

bool save(QWidget& w, const QString& folder, const QString& name) {
    return saveScreenshot(w, folder, name);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: make_screenshots FOLDER");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    bool ok = true;
    CNavtabDlg dlg;
    dlg.resize(1200, 720);
    dlg.show();
    dlg.openFiles({sample("ntsc43", "VIDEO_TS.IFO"), sample("ntsc43", "VTS_01_0.IFO")});
    ok &= save(dlg, folder, "main-overview.png");
    QTreeWidgetItem* pgcit = findItem(dlg, "VTS_PGCITI");
    select(dlg, pgcit);
    pgcit->setExpanded(true);
    select(dlg, pgcit->child(0));
    ok &= save(dlg, folder, "main-pgc.png");
    // The management table of the title set in the hex editor, part of its identifier selected.
    const ifo_t& vts = *dlg.session().workspace().documents().back()->ifo;
    CHexEditDlg hex(&dlg, std::span(vts.table[ID_MAT].data(), 2048));
    hex.show();
    hex.control()->buffer().press({0, HexCaretMode::HexHigh}, false);
    hex.control()->buffer().dragTo({11, HexCaretMode::HexHigh});
    hex.control()->setFocus();
    ok &= save(hex, folder, "hex-editor.png");
    CVideoAttrDlg video(&dlg, be16(vts.table[ID_MAT].data() + 0x200));
    video.show();
    ok &= save(video, folder, "video-attributes.png");
    CUopDlg uop(&dlg, 0x00000C01);
    uop.show();
    ok &= save(uop, folder, "user-operations.png");
    CVobExtrasDlg extras(&dlg, vob::ExtrasDialogState::forVobExtras(
                                   sample("ntsc43", "VTS_01_0.IFO").toStdString(), 1));
    extras.show();
    ok &= save(extras, folder, "vob-extras.png");
    CStripDlg strip(&dlg, vob::streamStripDialog(CIfoStreamUsage(vts)));
    strip.show();
    ok &= save(strip, folder, "strip-streams.png");
    // dvdauthor leaves a gap behind the video manager; the correction reports it.
    ScratchCopies copies;
    copies.copyAll("ntsc43");
    CNavtabDlg repair;
    repair.show();
    repair.openFiles({copies.path("VIDEO_TS.IFO")});
    onNext<QMessageBox>([&](QMessageBox* question) {
        onNext<QMessageBox>([&](QMessageBox* report) {
            ok &= save(*report, folder, "get-vts-sectors-report.png");
            onNext<QMessageBox>([](QMessageBox* b) {
                onNext<QMessageBox>([](QMessageBox* last) { last->accept(); });
                b->accept();
            });
            report->accept();
        });
        question->button(QMessageBox::No)->click();
    });
    repair.button("Get VTS sectors")->click();
    // A folder whose second title set lost its title VOB: before rewriting every IFO file, the
    // all-files mode names what does not fit and asks.
    ScratchCopies broken;
    broken.copyAll("ntsc43", "VTS_02_1.VOB");
    CNavtabDlg misfit;
    misfit.show();
    misfit.openFiles({broken.path("VIDEO_TS.IFO")});
    onNext<QMessageBox>([&](QMessageBox* all) {
        onNext<QMessageBox>([&](QMessageBox* question) {
            ok &= save(*question, folder, "get-vts-sectors-misfit.png");
            question->button(QMessageBox::No)->click();
        });
        all->button(QMessageBox::Yes)->click();
    });
    misfit.button("Get VTS sectors")->click();
    // The disc image dialog on the sample disc, and the builder window once it has built the
    // image into a scratch folder.
    QTemporaryDir images;
    const QString root = QFileInfo(QFileInfo(sample("ntsc43", "VIDEO_TS.IFO")).path()).path();
    CDiscImageDlg imageDialog(&dlg, root, QStringLiteral("No optical drive was found."));
    imageDialog.imageEdit()->setText(images.filePath("ntsc43.img"));
    imageDialog.labelEdit()->setText(QStringLiteral("NTSC43"));
    imageDialog.show();
    ok &= save(imageDialog, folder, "disc-image-dialog.png");
    imageDialog.hide();
    auto* builder = new CBuilderWindow(
        {QString::fromStdString(image::discoverImageBuilder({}, image::environmentPath())),
         {},
         {}});
    builder->show();
    fillBuilderWindow({root, images.filePath("ntsc43.img"), QStringLiteral("NTSC43")}, false);
    for (int i = 0; i < 300 && builder->lastResult().isEmpty(); ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    ok &= save(*builder, folder, "disc-image-builder.png");
    builder->close();
    return ok ? 0 : 1;
}
