#pragma once

#include "VelquorAlert.h"

#include <QPdfView>
#include <QUrl>

class QPdfDocument;

// A large help window (1140 x 724, centred on the screen) showing either a picture or a PDF document.
// Shown with runModal(); the only way out is the close box (code 0).
class VelquorHelpAlert : public VelquorAlert
{
    Q_OBJECT
public:
    static constexpr int WindowWidth = 1140;
    static constexpr int WindowHeight = 724;

    explicit VelquorHelpAlert(QWidget *parent = nullptr);

    // The application picture `imageName`, cut to the window's size. Full: the picture fills the whole
    // window and the close box floats at its top right; otherwise it runs under a slim title bar.
    static VelquorHelpAlert *helpAlertWithTitle(const QString &title, const QString &imageName, bool full);
    // The PDF document at `pdfURL` (a file URL, or "qrc:" for a compiled-in document), pages one under another.
    static VelquorHelpAlert *helpAlertWithTitle(const QString &title, const QUrl &pdfURL);

    VelquorImageView *helpImageView() const { return m_helpImageView; }
    QPdfView *pdfView() const { return m_pdfView; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void useCloseBoxPicture(const QString &name);
    void placeFloatingCloseBox();

    QPointer<VelquorImageView> m_helpImageView;
    QPointer<QPdfView> m_pdfView;
    QPdfDocument *m_pdfDocument = nullptr;
    bool m_floatingCloseBox = false;
};
