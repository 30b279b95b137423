<?xml version="1.0" encoding="utf-8"?>
<!-- Login with a code sent by SMS to the phone number of the account: the picture code first
     (it lets the code be sent), then the SMS code. A name is asked only when one phone number
     serves several people. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="default.xsl"/>

  <xsl:template match="r" mode="title">短信验证码登录</xsl:template>

  <xsl:template match="r" mode="body">
    <section class="acct">
      <h1><xsl:call-template name="school"/></h1>
      <form class="form" data-acct="login" data-next="./">
        <xsl:call-template name="sms-fields"/>
        <div class="field"><label>姓名（同一手机号有多个账户时填写）
          <input name="username" autocomplete="name"/>
        </label></div>
        <p class="acct-msg error" role="alert" hidden="hidden"></p>
        <div class="field"><button type="submit" class="button">登录</button></div>
      </form>
      <p class="links"><a href="bind">密码登录</a></p>
    </section>
    <xsl:call-template name="acct-script"/>
  </xsl:template>

  <!-- Phone, picture code and SMS code, with the button that sends the SMS. -->
  <xsl:template name="sms-fields">
    <div class="field"><label>手机号码
      <input name="phone" type="tel" inputmode="numeric" maxlength="11" pattern="1[3-9][0-9]{9}"
             autocomplete="tel" required="required"/>
    </label></div>
    <div class="field"><label>图形验证码
      <span class="row">
        <input name="artcode" maxlength="4" autocomplete="off" required="required"/>
        <img data-acct-art="1" src="artcode" alt="图形验证码" title="看不清？点击换一张" width="150" height="50"/>
      </span>
    </label></div>
    <div class="field"><label>短信验证码
      <span class="row">
        <input name="smscode" inputmode="numeric" maxlength="4" autocomplete="one-time-code" required="required"/>
        <button type="button" class="button" data-acct-sms="1">获取验证码</button>
      </span>
    </label></div>
    <p class="hint">短信验证码 5 分钟内有效。</p>
  </xsl:template>
</xsl:stylesheet>
