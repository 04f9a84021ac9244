/* The machine-dependent part of jni.h for Windows x64, which Debian's JDK does
 * not ship: the natives of the Windows bridge libraries are compiled against the
 * JDK's jni.h and this file. The types are those of the JNI interface on 64-bit
 * Windows (LLP64: long is 32 bits there); natives are exported undecorated and
 * x64 has a single calling convention. */
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
