#pragma once
// The report preview: page navigation, zoom, printing, saving and opening prepared reports,
// export to PDF, text and HTML.

#include <QWidget>
#include <memory>

#include "platform/report/PreparedReport.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QPushButton;

namespace report {

class PageView;

class PreviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewWindow(std::shared_ptr<PreparedReport> pages, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    const PreparedReport& pages() const { return *pages_; }
    int currentPage() const { return page_; }  // 0-based
    void showPage(int page);
    void setZoom(double zoom);  // 1.0 = printed size on a 96 dpi screen; 0 = whole page; -1 = width
    double effectiveZoom() const;

    // Actions of the tool bar (also callable from code).
    void printPages();
    bool saveTo(const QString& path);
    bool openFrom(const QString& path);
    bool exportPdfTo(const QString& path);
    bool exportTextTo(const QString& path);
    bool exportHtmlTo(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void onSave();
    void onOpen();
    void onExport(int kind);
    void updateControls();
    void relayout();
    QRect freeArea() const;  // the free area of the screen the window opens on

    std::shared_ptr<PreparedReport> pages_;
    int page_ = 0;
    double zoom_ = -1;
    PageView* view_;
    QScrollArea* scroll_;
    QLabel* pageLabel_;
    QComboBox* zoomBox_;
    QPushButton* first_;
    QPushButton* prev_;
    QPushButton* next_;
    QPushButton* last_;
};

}  // namespace report
