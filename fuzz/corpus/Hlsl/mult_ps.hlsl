//gPixelShaderTexturedMultText
texture g_MeshTexture;

sampler TextureSampler = sampler_state
{
    Texture = <g_MeshTexture>;
    MipFilter = LINEAR;
    MinFilter = LINEAR;
    MagFilter = LINEAR;
};

struct PS_INPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
    float2 TuTv : TEXCOORD0;
};

float4 pixel_shader(PS_INPUT input) : COLOR0
{
    return input.color * tex2D(TextureSampler, input.TuTv);
}
