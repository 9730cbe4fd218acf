package com.korvex.pelorix;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.stream.Collectors;

/** Listeners for the event tests. */
final class EventListeners {
    private EventListeners() {
    }

    /** Records every event as "type:payload", from any thread. */
    static final class Recorder implements DeviceEventListener {
        final List<String> events = Collections.synchronizedList(new ArrayList<>());

        @Override
        public void OnEvent(long eventType, String payload) {
            events.add(eventType + ":" + payload);
        }
    }

    /** Records the thread of every event by its payload. */
    static final class ThreadsByPayload implements DeviceEventListener {
        final Map<String, Thread> threads = new ConcurrentHashMap<>();

        @Override
        public void OnEvent(long eventType, String payload) {
            threads.put(payload, Thread.currentThread());
        }

        /** The threads of the events whose payload starts so. */
        Set<Thread> of(String prefix) {
            return threads.entrySet().stream()
                    .filter(e -> e.getKey().startsWith(prefix))
                    .map(Map.Entry::getValue)
                    .collect(Collectors.toSet());
        }
    }

    /** Counts its events and throws on each. */
    static final class Throwing implements DeviceEventListener {
        final AtomicInteger calls = new AtomicInteger();

        @Override
        public void OnEvent(long eventType, String payload) {
            calls.incrementAndGet();
            throw new IllegalStateException("listener fails");
        }
    }

    /** Has an OnEvent of another signature, which must not be called. */
    static final class WrongSignature {
        public void OnEvent(int eventType, String payload) {
            throw new AssertionError("called with the wrong signature");
        }
    }

    static byte[][] utf8(String... texts) {
        byte[][] payloads = new byte[texts.length][];
        for (int i = 0; i < texts.length; i++) {
            payloads[i] = texts[i].getBytes(StandardCharsets.UTF_8);
        }
        return payloads;
    }

    static byte[][] numbered(String prefix, int count) {
        String[] texts = new String[count];
        for (int i = 0; i < count; i++) {
            texts[i] = prefix + i;
        }
        return utf8(texts);
    }
}
