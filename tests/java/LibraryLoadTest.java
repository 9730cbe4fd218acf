package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.Set;
import java.util.TreeSet;
import org.junit.Test;

/** Loading Pelorixj binds both device libraries before any of its native methods runs. */
public class LibraryLoadTest {
    /** The device libraries mapped into this process, by file name. */
    private static Set<String> mappedDeviceLibraries() throws IOException {
        Set<String> found = new TreeSet<>();
        for (String line : Files.readAllLines(Paths.get("/proc/self/maps"))) {
            for (String library : new String[] {"libQuorlan.so", "libBrannet.so"}) {
                if (line.endsWith("/" + library)) {
                    found.add(library);
                }
            }
        }
        return found;
    }

    @Test
    public void theVmsLoadBindsQuorlanAndBrannet() throws IOException {
        assertEquals(Set.of(), mappedDeviceLibraries());
        System.loadLibrary("Pelorixj");
        assertEquals(Set.of("libBrannet.so", "libQuorlan.so"), mappedDeviceLibraries());
    }
}
