// The server item; see srvritem.h.
#include "app/srvritem.h"

#include "app/praxdoc.h"

#include <QPainter>

CPraxSrvrItem::CPraxSrvrItem(CPraxDoc *doc, bool linked)
    : m_doc(doc)
    , m_linked(linked)
{
}

bool CPraxSrvrItem::Serialize(QIODevice &archive, bool storing)
{
    if (m_linked)
        return true;
    return m_doc && m_doc->Serialize(archive, storing);
}

bool CPraxSrvrItem::OnGetExtent(unsigned aspect, QSize &size) const
{
    if (aspect != DVASPECT_CONTENT)
        return false;
    size = QSize(kExtent, kExtent);
    return true;
}

bool CPraxSrvrItem::OnDraw(QPainter *painter, const QSize &size) const
{
    if (!painter)
        return false;
    // Anisotropic mapping: 3000 units across and down, whatever the pixels.
    painter->setViewport(0, 0, size.width(), size.height());
    painter->setWindow(0, 0, kExtent, kExtent);
    return true;
}
