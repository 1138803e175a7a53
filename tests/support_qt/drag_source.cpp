// A window that starts a drag of the files named on its command line when it is pressed, as a
// file manager does: for trying drops on the program under a virtual display, driven by xdotool.
#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

class DragSource : public QLabel {
  public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setText(QStringLiteral("Drag me"));
        setAlignment(Qt::AlignCenter);
        setWindowTitle(QStringLiteral("Drag source"));
        resize(160, 100);
    }

  protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* files = new QMimeData;
        files->setUrls(urls_);
        drag->setMimeData(files);
        drag->exec(Qt::CopyAction);
    }

  private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i) {
        urls.append(
            QUrl::fromLocalFile(QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath()));
    }
    DragSource source(urls);
    source.move(0, 0);
    source.show();
    return application.exec();
}
