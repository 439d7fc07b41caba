@echo off
rem Example SetupComplete.cmd for %WINDIR%\Setup\Scripts\: Windows set-up runs
rem it as SYSTEM once set-up is complete. It runs the zi370-rotate build that
rem fits the installed Windows, from the install folder
rem %ProgramFiles%\ZI370 (holding the release's x86 and x64 folders), and
rem appends its exit status, with the time, to
rem %WINDIR%\Setup\Scripts\zi370-rotate.log. Merge it into your own
rem SetupComplete.cmd if you have one.
setlocal

rem x64 on 64-bit x86 Windows, also when this is a 32-bit cmd there; x86
rem everywhere else.
set "ZI370_ARCH=x86"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "ZI370_ARCH=x64"
if /i "%PROCESSOR_ARCHITEW6432%"=="AMD64" set "ZI370_ARCH=x64"

rem A 32-bit cmd on 64-bit Windows sees the 32-bit Program Files as
rem %ProgramFiles%; ProgramW6432 is the 64-bit one, which holds the folder.
set "ZI370_DIR=%ProgramFiles%\ZI370"
if defined ProgramW6432 set "ZI370_DIR=%ProgramW6432%\ZI370"

"%ZI370_DIR%\%ZI370_ARCH%\zi370-rotate.exe"
set "ZI370_STATUS=%ERRORLEVEL%"
>>"%WINDIR%\Setup\Scripts\zi370-rotate.log" echo %DATE% %TIME% zi370-rotate %ZI370_ARCH% exit status %ZI370_STATUS%

endlocal & exit /b %ZI370_STATUS%
