#include "TSimFraming.h"

void TSimFramer::feed(const QByteArray& bytes) {
    if (m_start > 0) {
        // Packets already taken are dropped once per read, not once per packet.
        m_buffer.remove(0, m_start);
        m_scan -= m_start;
        m_start = 0;
    }
    m_buffer += bytes;
}

qsizetype TSimFramer::findEnd() {
    qsizetype i = qMax(m_scan, m_start);
    while (true) {
        i = m_buffer.indexOf('\n', i);
        if (i < 0) {
            m_scan = m_buffer.size();
            return -1;
        }
        if (i + 1 >= m_buffer.size()) {
            m_scan = i; // the next byte decides
            return -1;
        }
        if (m_buffer.at(i + 1) == '\n') return i + 2;
        if (m_buffer.at(i + 1) == '\r') {
            if (i + 2 >= m_buffer.size()) {
                m_scan = i;
                return -1;
            }
            if (m_buffer.at(i + 2) == '\n') return i + 3;
        }
        ++i;
    }
}

bool TSimFramer::next(QByteArray* packet) {
    while (true) {
        const qsizetype end = findEnd();
        if (end < 0) {
            if (buffered() > m_limit) {
                // Too long without an end: forget it, keeping only a possible partial terminator.
                if (!m_discarding) ++m_dropped;
                m_discarding = true;
                m_buffer = m_buffer.right(2);
                m_start = 0;
                m_scan = 0;
            }
            return false;
        }
        const bool tooLong = m_discarding || end - m_start > m_limit;
        if (tooLong && !m_discarding) ++m_dropped;
        if (!tooLong) *packet = m_buffer.mid(m_start, end - m_start);
        m_start = end;
        m_scan = end;
        m_discarding = false;
        if (!tooLong) return true;
    }
}
