@echo off
rem Nightly new-file announcements with movrek32, for Windows.
rem
rem Copy this file, set the values below, and run it once a night with the
rem Task Scheduler, after the file processor has written its new-files list:
rem
rem   schtasks /create /tn movrek32-nightly /sc daily /st 06:30 /tr C:\fido\nightly.bat
rem
rem In order:
rem 1. No list, or an empty one (a night without new files): exit code 0.
rem 2. Empty REPORT_DIR, so that no report of an earlier night is left to post.
rem 3. When movrek32-check.exe is installed (beside movrek32.exe or on the
rem    PATH), check the configuration, the template and the list; on an error
rem    show what it found and exit with its exit code.
rem 4. Run movrek32 in REPORT_DIR. Any exit code but 0: show its messages,
rem    keep the list, post nothing, exit with that code.
rem 5. Move the list to DONE_DIR with a date stamp, so that no file is
rem    announced twice.
rem 6. Post every report that is now in REPORT_DIR with POST. A report that
rem    cannot be posted is kept in DONE_DIR, beside the list; exit code 1.
rem
rem REPORT_DIR holds nothing but reports: it is emptied at every run. Name the
rem group reports in movrek.cfg without a directory, so that they land there;
rem name headers and footers by full paths, with HEADER and FOOTER lines for
rem the main report and for every group (a group starts with header.txt and
rem footer.txt of the current directory, which is REPORT_DIR). Setup problems
rem (POST not set, a directory that cannot be made) give exit code 2.

setlocal EnableExtensions EnableDelayedExpansion

rem The new-files list that the file processor writes.
if not defined NEWFILES set "NEWFILES=C:\fido\newfiles.lst"
rem The directory the reports are written to.
if not defined REPORT_DIR set "REPORT_DIR=C:\fido\announce"
rem The name of the main report, which gets the files of every area that no
rem group names.
if not defined MAIN_REPORT set "MAIN_REPORT=newfiles.rpt"
rem Where announced lists are kept, as NAME.YYYYMMDD-HHMMSS.
if not defined DONE_DIR set "DONE_DIR=C:\fido\announced"
rem The command that posts one report to the announcement echo: the report's
rem path is added as its last argument. For example the post command of your
rem tosser, with the echo, the subject and the sender's name.
if not defined POST set "POST="
rem The program.
if not defined MOVREK32 set "MOVREK32=C:\fido\movrek32\movrek32.exe"

if not defined POST (
  echo nightly: set POST to the command that posts a report
  exit /b 2
)
if not exist "%NEWFILES%" exit /b 0
for %%F in ("%NEWFILES%") do (
  if %%~zF equ 0 exit /b 0
  set "LIST=%%~fF"
  set "LIST_NAME=%%~nxF"
  set "LIST_DIR=%%~dpF"
)
rem The results of builtin commands are tested by what they did: cmd does not
rem set ERRORLEVEL for all of them alike.
for %%D in ("%REPORT_DIR%" "%DONE_DIR%") do (
  if not exist "%%~D\" mkdir "%%~D" >nul 2>&1
  if not exist "%%~D\" (
    echo nightly: cannot make the directory %%~D
    exit /b 2
  )
)
for %%D in ("%REPORT_DIR%") do set "REPORT_DIR=%%~fD"
for %%D in ("%DONE_DIR%") do set "DONE_DIR=%%~fD"
if /i "%LIST_DIR%" == "%REPORT_DIR%\" (
  echo nightly: the list must not lie in REPORT_DIR, which is emptied at every run
  exit /b 2
)

rem The rest runs in REPORT_DIR.
del /q "%REPORT_DIR%\*" >nul 2>&1
pushd "%REPORT_DIR%"
if /i not "%CD%" == "%REPORT_DIR%" (
  echo nightly: cannot change to %REPORT_DIR%
  exit /b 2
)
for %%R in (*) do (
  echo nightly: cannot remove the earlier report %%~fR
  popd
  exit /b 2
)

set "LOG=%TEMP%\movrek32-nightly-%RANDOM%.log"
set "CHECK="
for %%P in ("%MOVREK32%") do if exist "%%~dpPmovrek32-check.exe" set "CHECK=%%~dpPmovrek32-check.exe"
if not defined CHECK for %%P in (movrek32-check.exe) do if not "%%~$PATH:P" == "" set "CHECK=%%~$PATH:P"

if defined CHECK (
  "%CHECK%" "%LIST%" >"%LOG%" 2>&1
  set "STATUS=!ERRORLEVEL!"
  if not "!STATUS!" == "0" (
    type "%LOG%"
    echo nightly: movrek32-check found an error ^(exit code !STATUS!^): nothing posted, %LIST% kept
    goto :end
  )
)
"%MOVREK32%" "%LIST%" "%MAIN_REPORT%" >"%LOG%" 2>&1
set "STATUS=%ERRORLEVEL%"
if not "%STATUS%" == "0" (
  type "%LOG%"
  echo nightly: movrek32 ended with exit code %STATUS%: nothing posted, %LIST% kept
  goto :end
)

rem The date stamp, from PowerShell where there is one, else from DATE and TIME.
set "STAMP="
for /f "usebackq delims=" %%S in (`powershell -NoProfile -Command "Get-Date -Format yyyyMMdd-HHmmss" 2^>nul`) do set "STAMP=%%S"
if defined STAMP goto :stamped
set "STAMP=%DATE%-%TIME%"
set "STAMP=%STAMP:/=%"
set "STAMP=%STAMP:.=%"
set "STAMP=%STAMP:,=%"
set "STAMP=%STAMP::=%"
set "STAMP=%STAMP: =0%"
:stamped
set "KEPT=%DONE_DIR%\%LIST_NAME%.%STAMP%"
set "N=1"
:unique
if exist "%KEPT%" (
  set "KEPT=%DONE_DIR%\%LIST_NAME%.%STAMP%.%N%"
  set /a N+=1
  goto :unique
)
move "%LIST%" "%KEPT%" >nul 2>&1
if exist "%LIST%" (
  type "%LOG%"
  echo nightly: cannot move %LIST% to %DONE_DIR%: nothing posted
  set "STATUS=2"
  goto :end
)

set "FAILED="
for %%R in (*) do (
  call %POST% "%%~fR" >>"%LOG%" 2>&1
  if errorlevel 1 (
    move "%%~fR" "%DONE_DIR%\%%~nxR.%STAMP%" >nul
    set "FAILED=!FAILED! %%~nxR"
  )
)
set "STATUS=0"
if defined FAILED (
  type "%LOG%"
  for %%N in (%FAILED%) do echo nightly: posting %%N failed: post %DONE_DIR%\%%N.%STAMP% by hand
  set "STATUS=1"
)

:end
popd
del "%LOG%" >nul 2>&1
exit /b %STATUS%
