package com.korvex.pelorix;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertTrue;

import java.lang.invoke.MethodType;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.Arrays;
import java.util.Set;
import java.util.TreeSet;
import org.junit.Test;

/**
 * The Java classes declare exactly the methods that the native library
 * implements and looks up, with their JNI signatures. The classes are
 * inspected without being initialised, so the native library is not loaded.
 */
public class NativeMethodsTest {
    private static final String[][] NATIVE_METHODS = {
        {"CoreAPI",
            "GetAPIVersion()I",
            "GetConnectionTypeString(I)Ljava/lang/String;",
            "GetConnectionTypeFromStringJ(Ljava/lang/String;)J",
            "IsEnumable(II)Z",
            "GetConnectionTypes(I)[J",
            "GetDeviceList(I)[J",
            "GetDeviceListWithConnectionType(II)[J",
            "GetDevice(IILjava/lang/String;)J",
            "ReleaseDevice(J)V",
            "ReleaseDeviceList([J)V"},
        {"WrapperIDevice",
            "GetName(J)Ljava/lang/String;",
            "GetConnectionInfo(J)Ljava/lang/String;",
            "GetConnectionState(J)J",
            "GetDeviceInfo(J)Ljava/lang/String;",
            "GetDeviceCapabilities(J)Ljava/lang/String;",
            "GetDeviceControl(J)J",
            "GetDeviceConfiguration(J)J",
            "SubscribeAll(JLjava/lang/Object;)Z",
            "UnsubscribeAll(J)Z",
            "StartTransaction(JLjava/lang/String;)Z",
            "CancelTransaction(J)Z",
            "SendSelection(JLjava/lang/String;)Z",
            "SendAuthorization(JLjava/lang/String;)Z",
            "RequestPIN(JLjava/lang/String;)Z",
            "RequestPAN(JLjava/lang/String;Ljava/lang/String;)Z",
            "RequestSignature(J)Z"},
        {"WrapperIDeviceControl",
            "Open(J)Z",
            "Close(J)Z",
            "Send(JLjava/lang/String;)Z",
            "SendSync(JLjava/lang/String;)Ljava/lang/String;",
            "SendExtendedCommand(JLjava/lang/String;)Z",
            "EndSession(J)Z",
            "SetDateTime(JLjava/lang/String;)Z",
            "PlaySound(JLjava/lang/String;)Z",
            "GetInput(JLjava/lang/String;)Z",
            "DisplayMessage(JBB)Z",
            "ShowImageObject(JLjava/lang/String;B)Z",
            "ShowImage(JB)Z",
            "ShowBarCode(JLjava/lang/String;B)Z",
            "SetLatch(JZ)Z",
            "DeviceReset(J)Z"},
        {"WrapperIDeviceConfiguration",
            "GetDeviceInfo(JI)Ljava/lang/String;",
            "GetConfigInfo(JI[B)[B",
            "GetKeyInfo(JI[B)[B",
            "GetChallengeToken(J[B)[B",
            "SetConfigInfo(JI[BLjava/lang/Object;)I",
            "UpdateKeyInfo(JI[BLjava/lang/Object;)I",
            "UpdateFirmware(JI[BLjava/lang/Object;)I",
            "GetFile(J[BLjava/lang/Object;)I",
            "SendFile(J[B[BLjava/lang/Object;)I",
            "SendSecureFile(J[B[BLjava/lang/Object;)I",
            "SendImage(JI[BLjava/lang/Object;)I",
            "SetDisplayImage(JI)I"},
    };

    private static final String[][] CALLBACK_METHODS = {
        {"DeviceEventListener", "OnEvent(JLjava/lang/String;)V"},
        {"ConfigurationCallback",
            "OnProgress(J)V",
            "OnResult(J[B)V",
            "OnCalculateMAC(J[B[J)[B"},
    };

    private static Class<?> uninitialised(String simpleName) throws ClassNotFoundException {
        return Class.forName("com.korvex.pelorix." + simpleName, false,
                NativeMethodsTest.class.getClassLoader());
    }

    private static String signature(Method method) {
        return method.getName()
                + MethodType.methodType(method.getReturnType(), method.getParameterTypes())
                        .toMethodDescriptorString();
    }

    private static Set<String> expected(String[] row) {
        return new TreeSet<>(Arrays.asList(row).subList(1, row.length));
    }

    @Test
    public void eachWrapperDeclaresExactlyItsPublicStaticNativeMethods() throws Exception {
        for (String[] row : NATIVE_METHODS) {
            Set<String> declared = new TreeSet<>();
            Set<String> names = new TreeSet<>();
            for (Method method : uninitialised(row[0]).getDeclaredMethods()) {
                int modifiers = method.getModifiers();
                if (!Modifier.isNative(modifiers)) {
                    continue;
                }
                String where = row[0] + "." + method.getName();
                assertTrue(where + " is public", Modifier.isPublic(modifiers));
                assertTrue(where + " is static", Modifier.isStatic(modifiers));
                assertTrue(where + " is declared once", names.add(method.getName()));
                declared.add(signature(method));
            }
            assertEquals(row[0], expected(row), declared);
        }
    }

    @Test
    public void callbackInterfacesDeclareTheMethodsTheNativeSideLooksUp() throws Exception {
        for (String[] row : CALLBACK_METHODS) {
            Set<String> declared = new TreeSet<>();
            for (Method method : uninitialised(row[0]).getDeclaredMethods()) {
                declared.add(signature(method));
            }
            assertEquals(row[0], expected(row), declared);
        }
    }
}
